#pragma once

#include <cstdint>
#include <variant>

#include "runtime/Convert.h"
#include "runtime/Text.h"

namespace ui {

// A control property's value: texts as Text, colours, pages, positions
// and flags as integers (flags 1 or 0). Empty when the control or the
// property does not exist.
class PropertyValue {
public:
    PropertyValue() = default;
    PropertyValue(std::int64_t v) : value_(v), valid_(true) {}
    PropertyValue(int v) : value_(static_cast<std::int64_t>(v)), valid_(true) {}
    PropertyValue(std::uint32_t v) : value_(static_cast<std::int64_t>(v)), valid_(true) {}
    PropertyValue(bool v) : value_(static_cast<std::int64_t>(v ? 1 : 0)), valid_(true) {}
    PropertyValue(const rt::Text& v) : value_(v), valid_(true) {}
    PropertyValue(const char* v) : value_(rt::Text(v ? v : "")), valid_(true) {}

    bool valid() const { return valid_; }
    bool isText() const { return std::holds_alternative<rt::Text>(value_); }
    std::int64_t AsInteger() const {
        if (auto* i = std::get_if<std::int64_t>(&value_)) return *i;
        return rt::ToInt64(std::get<rt::Text>(value_));
    }
    rt::Text AsText() const {
        if (auto* t = std::get_if<rt::Text>(&value_)) return *t;
        return rt::ToText(std::get<std::int64_t>(value_));
    }
    bool operator==(const PropertyValue& o) const { return valid_ == o.valid_ && value_ == o.value_; }

private:
    std::variant<std::int64_t, rt::Text> value_{std::int64_t{0}};
    bool valid_ = false;
};

}  // namespace ui
