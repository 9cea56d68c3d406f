// The names the program looks for in the settings file, compared byte for
// byte: the readers use them, and the settings checker tells every other
// name apart from them.
#pragma once

namespace settings {

const char kRoot[] = "system";
const char kLauncher[] = "launcher";
const char kImage[] = "image";
const char kFolder[] = "folder";
const char kFile[] = "file";

const char kName[] = "name";
const char kPath[] = "path";
const char kX[] = "x";
const char kY[] = "y";
const char kWidth[] = "w";
const char kHeight[] = "h";
const char kColor[] = "color";

}  // namespace settings
