#include "hosts/gtk/ShellOpen.h"

#include <shellapi.h>

#include <gio/gdesktopappinfo.h>
#include <gio/gio.h>
#include <sys/stat.h>
#include <unistd.h>

#include <memory>

namespace platform {
namespace gtk {

namespace {

template <typename Object>
struct GObjectUnref {
  void operator()(Object* object) const { g_object_unref(object); }
};
template <typename Object>
using GObjectPtr = std::unique_ptr<Object, GObjectUnref<Object>>;

struct GFreeDeleter {
  void operator()(void* memory) const { g_free(memory); }
};
using GText = std::unique_ptr<char, GFreeDeleter>;

// A scheme of one letter is a drive ("C:\..."), not a URI.
bool hasScheme(const std::string& file) {
  GText scheme(g_uri_parse_scheme(file.c_str()));
  return scheme && std::string(scheme.get()).size() > 1;
}

bool endsWith(const std::string& text, const std::string& end) {
  return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

bool hasExecutableContent(const std::string& path) {
  gboolean uncertain = FALSE;
  GText type(g_content_type_guess(path.c_str(), nullptr, 0, &uncertain));
  GObjectPtr<GFile> file(g_file_new_for_path(path.c_str()));
  GObjectPtr<GFileInfo> info(
      g_file_query_info(file.get(), G_FILE_ATTRIBUTE_STANDARD_CONTENT_TYPE, G_FILE_QUERY_INFO_NONE, nullptr, nullptr));
  const char* sniffed = info ? g_file_info_get_content_type(info.get()) : nullptr;
  return g_content_type_can_be_executable(sniffed ? sniffed : type.get());
}

std::string resolved(const ShellRequest& request) {
  if (request.file.empty() || request.file[0] == '/' || hasScheme(request.file) || !request.hasDirectory ||
      request.directory.empty()) {
    return request.file;
  }
  return request.directory + "/" + request.file;
}

std::string folderOf(const std::string& path) {
  GText folder(g_path_get_dirname(path.c_str()));
  return folder.get();
}

DWORD failed(GError* error, DWORD code, std::string& why) {
  why = error ? error->message : "it could not be opened";
  if (error) {
    g_error_free(error);
  }
  return code;
}

DWORD launchDefaultForUri(const std::string& uri, std::string& why) {
  GError* error = nullptr;
  if (!g_app_info_launch_default_for_uri(uri.c_str(), nullptr, &error)) {
    return failed(error, SE_ERR_NOASSOC, why);
  }
  return 0;
}

DWORD launchDesktopFile(const std::string& path, std::string& why) {
  GObjectPtr<GDesktopAppInfo> application(g_desktop_app_info_new_from_filename(path.c_str()));
  if (!application) {
    why = "it is not a usable .desktop entry";
    return ERROR_BAD_FORMAT;
  }
  GError* error = nullptr;
  if (!g_app_info_launch(G_APP_INFO(application.get()), nullptr, nullptr, &error)) {
    return failed(error, ERROR_BAD_FORMAT, why);
  }
  return 0;
}

DWORD runExecutable(const ShellRequest& request, const std::string& path, std::string& why) {
  gchar** parameters = nullptr;
  GError* error = nullptr;
  if (request.hasParameters && !request.parameters.empty() &&
      !g_shell_parse_argv(request.parameters.c_str(), nullptr, &parameters, &error)) {
    return failed(error, ERROR_INVALID_PARAMETER, why);
  }
  std::vector<gchar*> arguments{const_cast<gchar*>(path.c_str())};
  for (gchar** parameter = parameters; parameter && *parameter; ++parameter) {
    arguments.push_back(*parameter);
  }
  arguments.push_back(nullptr);
  std::string folder = request.hasDirectory && !request.directory.empty() ? request.directory : folderOf(path);
  gboolean started = g_spawn_async(folder.c_str(), arguments.data(), nullptr, G_SPAWN_DEFAULT, nullptr, nullptr,
                                   nullptr, &error);
  g_strfreev(parameters);
  if (!started) {
    return failed(error, ERROR_ACCESS_DENIED, why);
  }
  return 0;
}

std::string uriOf(const std::string& path) {
  GObjectPtr<GFile> file(g_file_new_for_path(path.c_str()));
  GText uri(g_file_get_uri(file.get()));
  return uri.get();
}

}  // namespace

ShellTarget classify(const std::string& path) {
  if (hasScheme(path)) {
    return ShellTarget::uri;
  }
  struct stat status;
  if (path.empty() || stat(path.c_str(), &status) != 0) {
    return ShellTarget::missing;
  }
  if (S_ISDIR(status.st_mode)) {
    return ShellTarget::folder;
  }
  if (endsWith(path, ".desktop")) {
    return ShellTarget::desktopFile;
  }
  if (access(path.c_str(), X_OK) == 0 && hasExecutableContent(path)) {
    return ShellTarget::executable;
  }
  return ShellTarget::document;
}

// Only "open" (or no verb, which means it) is a verb this desktop has.
DWORD openWithShell(const ShellRequest& request, std::string& why) {
  if (!request.verb.empty() && request.verb != "open") {
    why = "the verb \"" + request.verb + "\" is not supported";
    return SE_ERR_NOASSOC;
  }
  std::string path = resolved(request);
  switch (classify(path)) {
    case ShellTarget::uri:
      return launchDefaultForUri(path, why);
    case ShellTarget::desktopFile:
      return launchDesktopFile(path, why);
    case ShellTarget::executable:
      return runExecutable(request, path, why);
    case ShellTarget::folder:
    case ShellTarget::document:
      return launchDefaultForUri(uriOf(path), why);
    case ShellTarget::missing:
      break;
  }
  why = "there is no such file";
  return ERROR_FILE_NOT_FOUND;
}

}  // namespace gtk
}  // namespace platform
