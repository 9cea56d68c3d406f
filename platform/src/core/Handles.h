// One table for every object the desktop hands out a handle for: windows,
// menus, icons, GDI objects, and GDI+ objects, whose addresses are handle
// values here. Each entry knows its kind, so a handle of one kind given
// where another is expected is simply not found, and each call reports that
// as Win32 does for it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <unordered_map>

namespace platform {

enum class HandleKind {
  window,
  menu,
  icon,
  stockObject,
  bitmap,
  deviceContext,
  gdiplusImage,
  gdiplusGraphics,
  gdiplusImageAttributes
};

// What a handle names. A kind's record derives from this and says its kind
// as `static const HandleKind kKind`.
struct HandleObject {
  virtual ~HandleObject() = default;
};

class HandleTable {
 public:
  // Adds the object under a fresh value; values are never reused within a
  // run, not even by a new table.
  void* add(HandleKind kind, std::unique_ptr<HandleObject> object);

  // Adds the object under a value fixed by the system (stock objects,
  // system icons), outside the range fresh values come from.
  void addFixed(std::uintptr_t value, HandleKind kind, std::unique_ptr<HandleObject> object);

  // The object of that kind, or null for a handle that names nothing or
  // something of another kind.
  HandleObject* find(const void* handle, HandleKind kind) const;

  template <typename Record>
  Record* find(const void* handle) const {
    return static_cast<Record*>(find(handle, Record::kKind));
  }

  // Deletes the object; false when the handle names nothing.
  bool remove(const void* handle);

  std::size_t count(HandleKind kind) const;

 private:
  struct Entry {
    HandleKind kind;
    std::unique_ptr<HandleObject> object;
  };
  std::unordered_map<std::uintptr_t, Entry> entries_;
};

}  // namespace platform
