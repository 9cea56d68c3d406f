// The desktop's handle table.
#include "core/Handles.h"

#include <algorithm>
#include <utility>

namespace platform {

namespace {

// Handle values start well above zero and step by four, as Win32's do, so
// that no handle is mistaken for a small integer or a resource id.
const std::uintptr_t kFirstHandleValue = 0x10000;
const std::uintptr_t kHandleStep = 4;

std::uintptr_t freshHandleValue() {
  static std::uintptr_t next = kFirstHandleValue;
  std::uintptr_t value = next;
  next += kHandleStep;
  return value;
}

}  // namespace

void* HandleTable::add(HandleKind kind, std::unique_ptr<HandleObject> object) {
  std::uintptr_t value = freshHandleValue();
  entries_[value] = Entry{kind, std::move(object)};
  return reinterpret_cast<void*>(value);
}

void HandleTable::addFixed(std::uintptr_t value, HandleKind kind, std::unique_ptr<HandleObject> object) {
  entries_[value] = Entry{kind, std::move(object)};
}

HandleObject* HandleTable::find(const void* handle, HandleKind kind) const {
  auto found = entries_.find(reinterpret_cast<std::uintptr_t>(handle));
  if (found == entries_.end() || found->second.kind != kind) {
    return nullptr;
  }
  return found->second.object.get();
}

bool HandleTable::remove(const void* handle) {
  auto found = entries_.find(reinterpret_cast<std::uintptr_t>(handle));
  if (found == entries_.end()) {
    return false;
  }
  // The entry goes first, so that whatever the object's destructor does
  // cannot find it half-destroyed.
  std::unique_ptr<HandleObject> object = std::move(found->second.object);
  entries_.erase(found);
  return true;
}

std::size_t HandleTable::count(HandleKind kind) const {
  return static_cast<std::size_t>(
      std::count_if(entries_.begin(), entries_.end(), [kind](const auto& entry) { return entry.second.kind == kind; }));
}

}  // namespace platform
