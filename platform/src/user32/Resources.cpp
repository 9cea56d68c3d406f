// Module resources and the icons and cursors made from them or given by the
// system: addModuleResource, LoadImageA, LoadIconA, LoadCursorA, DestroyIcon.
#include "core/Desktop.h"
#include "user32/IconPicture.h"
#include "core/Text.h"

#include <cstdlib>
#include <string>
#include <vector>

namespace {

// A resource type or name: an integer id, or a text compared without case.
struct ResourceName {
  bool isId;
  WORD id;
  std::string text;  // lowercased

  bool operator==(const ResourceName& other) const {
    return isId == other.isId && (isId ? id == other.id : text == other.text);
  }
};

// Win32 accepts an id as MAKEINTRESOURCE or as the text "#123".
ResourceName resourceName(LPCSTR name) {
  if (IS_INTRESOURCE(name)) {
    return ResourceName{true, static_cast<WORD>(reinterpret_cast<ULONG_PTR>(name)), std::string()};
  }
  std::string text(name);
  if (text.size() > 1 && text.size() <= 6 && text[0] == '#' &&
      text.find_first_not_of("0123456789", 1) == std::string::npos) {
    unsigned long id = std::strtoul(text.c_str() + 1, nullptr, 10);
    if (id <= 0xFFFF) {
      return ResourceName{true, static_cast<WORD>(id), std::string()};
    }
  }
  return ResourceName{false, 0, platform::lowercase(text)};
}

std::string describe(const ResourceName& name) { return name.isId ? "#" + std::to_string(name.id) : name.text; }

struct ModuleResource {
  ResourceName type;
  ResourceName name;
  std::vector<unsigned char> data;
};

// The program's resources, registered while the program starts (from static
// initialisers, hence made on first use); they outlive desktop::reset().
std::vector<ModuleResource>& moduleResources() {
  static std::vector<ModuleResource> resources;
  return resources;
}

// Looks a resource up with FindResource's failures: no resource of the type,
// or none of the name.
const ModuleResource* findModuleResource(const ResourceName& type, const ResourceName& name) {
  bool typeFound = false;
  for (const ModuleResource& resource : moduleResources()) {
    if (resource.type == type) {
      typeFound = true;
      if (resource.name == name) {
        return &resource;
      }
    }
  }
  SetLastError(typeFound ? ERROR_RESOURCE_NAME_NOT_FOUND : ERROR_RESOURCE_TYPE_NOT_FOUND);
  return nullptr;
}

// The system's shared icons and cursors have fixed handles, far from the
// values the desktop hands out.
const std::uintptr_t kSystemIconBase = 0x7FFF0000;
const std::uintptr_t kSystemCursorBase = 0x7FFF1000;
const WORD kFirstSystemIcon = 32512;  // IDI_APPLICATION
const WORD kLastSystemIcon = 32517;   // IDI_WINLOGO
const WORD kSystemCursors[] = {32512, 32513, 32514, 32515, 32516, 32640, 32641, 32642, 32643,
                               32644, 32645, 32646, 32648, 32649, 32650, 32651};

const int kDefaultIconSize = 32;  // SM_CXICON and SM_CYICON
const int kLargestIconSize = 1024;

HICON systemIcon(LPCSTR name) {
  ResourceName id = resourceName(name);
  if (id.isId && id.id >= kFirstSystemIcon && id.id <= kLastSystemIcon) {
    return reinterpret_cast<HICON>(kSystemIconBase + 4u * (id.id - kFirstSystemIcon));
  }
  SetLastError(ERROR_RESOURCE_NAME_NOT_FOUND);
  return NULL;
}

HCURSOR systemCursor(LPCSTR name) {
  ResourceName id = resourceName(name);
  for (std::size_t index = 0; id.isId && index < sizeof kSystemCursors / sizeof kSystemCursors[0]; ++index) {
    if (kSystemCursors[index] == id.id) {
      return reinterpret_cast<HCURSOR>(kSystemCursorBase + 4u * index);
    }
  }
  SetLastError(ERROR_RESOURCE_NAME_NOT_FOUND);
  return NULL;
}

bool isSystemIconOrCursor(HICON icon) {
  std::uintptr_t value = reinterpret_cast<std::uintptr_t>(icon);
  return (value >= kSystemIconBase && value <= kSystemIconBase + 4u * (kLastSystemIcon - kFirstSystemIcon)) ||
         (value >= kSystemCursorBase && value < kSystemCursorBase + sizeof kSystemCursors);
}

// LR_DEFAULTSIZE asks for the system's icon size where 0 is given; without
// it, 0 means the image's own size.
int requestedDimension(int requested, UINT flags) {
  return requested == 0 && (flags & LR_DEFAULTSIZE) ? kDefaultIconSize : requested;
}

HICON loadIconResource(const ResourceName& name, int width, int height, UINT flags) {
  platform::Desktop& desktop = platform::theDesktop();
  std::string cacheKey = describe(name) + ":" + std::to_string(width) + "x" + std::to_string(height);
  if (flags & LR_SHARED) {
    auto cached = desktop.sharedIcons.find(cacheKey);
    if (cached != desktop.sharedIcons.end()) {
      return cached->second;
    }
  }
  const ModuleResource* resource = findModuleResource(resourceName(RT_GROUP_ICON), name);
  if (!resource) {
    return NULL;
  }
  std::unique_ptr<platform::IconRecord> record =
      platform::iconFromGroup(resource->data, width, height, (flags & LR_SHARED) != 0);
  if (!record) {
    SetLastError(ERROR_INVALID_DATA);
    return NULL;
  }
  HICON icon = static_cast<HICON>(desktop.handles.add(platform::HandleKind::icon, std::move(record)));
  if (flags & LR_SHARED) {
    desktop.sharedIcons[cacheKey] = icon;
  }
  return icon;
}

// The resource type each image type comes from.
LPCSTR resourceTypeOf(UINT imageType) {
  switch (imageType) {
    case IMAGE_BITMAP:
      return RT_BITMAP;
    case IMAGE_ICON:
      return RT_GROUP_ICON;
    case IMAGE_CURSOR:
      return RT_GROUP_CURSOR;
    default:
      return nullptr;
  }
}

}  // namespace

extern "C" {

HANDLE WINAPI LoadImageA(HINSTANCE instance, LPCSTR name, UINT type, int width, int height, UINT flags) {
  LPCSTR resourceType = resourceTypeOf(type);
  if (!resourceType || !name || width < 0 || height < 0 || width > kLargestIconSize || height > kLargestIconSize) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return NULL;
  }
  if (!instance) {
    // A null instance names the system's own (OEM) images.
    return type == IMAGE_ICON ? static_cast<HANDLE>(systemIcon(name))
                              : type == IMAGE_CURSOR ? static_cast<HANDLE>(systemCursor(name)) : NULL;
  }
  if (instance != platform::programModule()) {
    SetLastError(ERROR_RESOURCE_DATA_NOT_FOUND);
    return NULL;
  }
  if (type != IMAGE_ICON) {
    // Only icon groups are linked in; the lookup reports the missing type.
    findModuleResource(resourceName(resourceType), resourceName(name));
    return NULL;
  }
  return loadIconResource(resourceName(name), requestedDimension(width, flags), requestedDimension(height, flags),
                          flags);
}

HICON WINAPI LoadIconA(HINSTANCE instance, LPCSTR name) {
  if (!instance) {
    return systemIcon(name);
  }
  return static_cast<HICON>(LoadImageA(instance, name, IMAGE_ICON, 0, 0, LR_DEFAULTSIZE | LR_SHARED));
}

HCURSOR WINAPI LoadCursorA(HINSTANCE instance, LPCSTR name) {
  if (!instance) {
    return systemCursor(name);
  }
  return static_cast<HCURSOR>(LoadImageA(instance, name, IMAGE_CURSOR, 0, 0, LR_DEFAULTSIZE | LR_SHARED));
}

BOOL WINAPI DestroyIcon(HICON icon) {
  if (isSystemIconOrCursor(icon)) {
    return TRUE;  // shared: it stays valid
  }
  platform::Desktop& desktop = platform::theDesktop();
  platform::IconRecord* record = desktop.handles.find<platform::IconRecord>(icon);
  if (!record) {
    SetLastError(ERROR_INVALID_CURSOR_HANDLE);
    return FALSE;
  }
  if (!record->shared) {
    desktop.handles.remove(icon);
  }
  return TRUE;
}

}  // extern "C"

namespace platform {

void addModuleResource(LPCSTR type, LPCSTR name, const void* data, std::size_t size) {
  if (!type || !name || (!data && size > 0)) {
    return;
  }
  const unsigned char* bytes = static_cast<const unsigned char*>(data);
  ModuleResource resource{resourceName(type), resourceName(name), std::vector<unsigned char>(bytes, bytes + size)};
  for (ModuleResource& existing : moduleResources()) {
    if (existing.type == resource.type && existing.name == resource.name) {
      existing = std::move(resource);
      return;
    }
  }
  moduleResources().push_back(std::move(resource));
}

namespace desktop {

const IconImage* iconImage(HICON icon) {
  IconRecord* record = theDesktop().handles.find<IconRecord>(icon);
  return record ? &record->image : nullptr;
}

}  // namespace desktop

}  // namespace platform
