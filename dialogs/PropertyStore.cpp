#include "dialogs/PropertyStore.h"

#include <algorithm>
#include <stdexcept>

namespace quibex {

namespace {

template <typename T>
T Expect(const PropertyValue* stored, std::string_view name, const char* kind, T defaultValue) {
    if (stored == nullptr) return defaultValue;
    if (const T* value = std::get_if<T>(stored)) return *value;
    throw std::runtime_error("property '" + std::string(name) + "' is not " + kind);
}

}  // namespace

const PropertyValue* MemoryPropertyStore::Find(std::string_view name) const {
    auto it = std::find_if(entries_.begin(), entries_.end(), [&](const Entry& e) { return e.first == name; });
    return it == entries_.end() ? nullptr : &it->second;
}

std::int32_t MemoryPropertyStore::ReadInteger(std::string_view name, std::int32_t defaultValue) {
    return Expect<std::int32_t>(Find(name), name, "an integer", defaultValue);
}

bool MemoryPropertyStore::ReadBoolean(std::string_view name, bool defaultValue) {
    return Expect<bool>(Find(name), name, "a boolean", defaultValue);
}

std::string MemoryPropertyStore::ReadString(std::string_view name, std::string_view defaultValue) {
    return Expect<std::string>(Find(name), name, "a string", std::string(defaultValue));
}

void MemoryPropertyStore::WriteInteger(std::string_view name, std::int32_t value, std::int32_t defaultValue) {
    Save(name, value, defaultValue);
}

void MemoryPropertyStore::WriteBoolean(std::string_view name, bool value, bool defaultValue) {
    Save(name, value, defaultValue);
}

void MemoryPropertyStore::WriteString(std::string_view name, std::string_view value, std::string_view defaultValue) {
    Save(name, std::string(value), std::string(defaultValue));
}

void MemoryPropertyStore::Set(std::string_view name, PropertyValue value) {
    auto it = std::find_if(entries_.begin(), entries_.end(), [&](const Entry& e) { return e.first == name; });
    if (it != entries_.end()) {
        it->second = std::move(value);
    } else {
        entries_.emplace_back(std::string(name), std::move(value));
    }
}

void MemoryPropertyStore::Save(std::string_view name, PropertyValue value, const PropertyValue& defaultValue) {
    if (value != defaultValue) {
        Set(name, std::move(value));
        return;
    }
    // A stale entry from an earlier save must not outlive a return to the default.
    std::erase_if(entries_, [&](const Entry& e) { return e.first == name; });
}

}  // namespace quibex
