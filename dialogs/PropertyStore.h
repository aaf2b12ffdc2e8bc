// The persisted form of a hosted control: named values with defaults.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <variant>
#include <vector>

namespace quibex {

// A store reads a missing entry as the default given, and may leave out
// entries whose value equals their default when it saves.
class PropertyStore {
public:
    virtual ~PropertyStore() = default;

    virtual std::int32_t ReadInteger(std::string_view name, std::int32_t defaultValue) = 0;
    virtual bool ReadBoolean(std::string_view name, bool defaultValue) = 0;
    virtual std::string ReadString(std::string_view name, std::string_view defaultValue) = 0;

    virtual void WriteInteger(std::string_view name, std::int32_t value, std::int32_t defaultValue) = 0;
    virtual void WriteBoolean(std::string_view name, bool value, bool defaultValue) = 0;
    virtual void WriteString(std::string_view name, std::string_view value, std::string_view defaultValue) = 0;
};

using PropertyValue = std::variant<std::int32_t, bool, std::string>;

// Entries in memory, in the order they were first written. Saving a value
// equal to its default removes the entry, so a control at its defaults
// leaves the store empty. Reading an entry as the wrong kind throws
// std::runtime_error naming the entry.
class MemoryPropertyStore : public PropertyStore {
public:
    using Entry = std::pair<std::string, PropertyValue>;

    std::int32_t ReadInteger(std::string_view name, std::int32_t defaultValue) override;
    bool ReadBoolean(std::string_view name, bool defaultValue) override;
    std::string ReadString(std::string_view name, std::string_view defaultValue) override;

    void WriteInteger(std::string_view name, std::int32_t value, std::int32_t defaultValue) override;
    void WriteBoolean(std::string_view name, bool value, bool defaultValue) override;
    void WriteString(std::string_view name, std::string_view value, std::string_view defaultValue) override;

    // Stores a value as it is, default or not (a stored form made elsewhere).
    void Set(std::string_view name, PropertyValue value);
    const std::vector<Entry>& Entries() const { return entries_; }

private:
    const PropertyValue* Find(std::string_view name) const;
    void Save(std::string_view name, PropertyValue value, const PropertyValue& defaultValue);

    std::vector<Entry> entries_;
};

}  // namespace quibex
