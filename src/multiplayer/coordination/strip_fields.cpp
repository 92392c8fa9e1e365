#include "multiplayer/coordination/strip_fields.h"

#include <charconv>

#include "multiplayer/coordination/wire_fields.h"

namespace tarnwick::coordination {
namespace {

struct NumberRule {
    const char* What;
    std::int32_t Min;
    std::int32_t Max;
};

NumberRule RuleOf(StripField field) {
    switch (field) {
        case StripField::Altitude:
            return {"altitude", 0, kMaxAssignedAltitude};
        case StripField::Heading:
            return {"heading", kMinAssignedHeading, kMaxAssignedHeading};
        default:
            return {"speed", kMinAssignedSpeed, kMaxAssignedSpeed};
    }
}

// The field's member, const or not as `fields` is.
template <typename Fields>
auto& NumberOf(Fields& fields, StripField field) {
    switch (field) {
        case StripField::Altitude:
            return fields.AssignedAltitude;
        case StripField::Heading:
            return fields.AssignedHeading;
        default:
            return fields.AssignedSpeed;
    }
}

template <typename Fields>
auto& TextOf(Fields& fields, StripField field) {
    switch (field) {
        case StripField::Scratchpad:
            return fields.Scratchpad;
        case StripField::Route:
            return fields.Route;
        default:
            return fields.Remarks;
    }
}

std::size_t MaxBytesOf(StripField field) {
    switch (field) {
        case StripField::Scratchpad:
            return kMaxScratchpadBytes;
        case StripField::Route:
            return kMaxRouteBytes;
        default:
            return kMaxRemarksBytes;
    }
}

bool IsNumber(StripField field) {
    return field == StripField::Altitude || field == StripField::Heading || field == StripField::Speed;
}

std::string TextFieldProblem(StripField field, const std::string& text) {
    return TextProblem(std::string("the ") + std::string(StripFieldName(field)), text, MaxBytesOf(field),
                       true);
}

}  // namespace

std::string AssignmentProblem(StripField field, std::int32_t value) {
    const NumberRule rule = RuleOf(field);
    if (value >= rule.Min && value <= rule.Max) return {};
    return std::string("the ") + rule.What + " " + std::to_string(value) + " is not between " +
           std::to_string(rule.Min) + " and " + std::to_string(rule.Max);
}

std::string_view StripFieldName(StripField field) {
    switch (field) {
        case StripField::Altitude:
            return "altitude";
        case StripField::Heading:
            return "heading";
        case StripField::Speed:
            return "speed";
        case StripField::Scratchpad:
            return "scratchpad";
        case StripField::Route:
            return "route";
        case StripField::Remarks:
            return "remarks";
    }
    return "";
}

std::optional<StripField> StripFieldNamed(std::string_view name) {
    for (StripField field : kStripFields) {
        if (StripFieldName(field) == name) return field;
    }
    return std::nullopt;
}

bool IsSet(const StripFields& fields, StripField field) {
    return IsNumber(field) ? NumberOf(fields, field).has_value() : TextOf(fields, field).has_value();
}

std::string StripProblem(const StripFields& fields) {
    for (StripField field : kStripFields) {
        std::string problem;
        if (IsNumber(field)) {
            if (const auto& value = NumberOf(fields, field)) problem = AssignmentProblem(field, *value);
        } else {
            if (const auto& text = TextOf(fields, field)) problem = TextFieldProblem(field, *text);
        }
        if (!problem.empty()) return problem;
    }
    return {};
}

std::string SetStripField(StripFields& fields, StripField field, std::string_view value) {
    if (IsNumber(field)) {
        if (value.empty()) {
            NumberOf(fields, field).reset();
            return {};
        }
        std::int32_t number = 0;
        const auto [end, error] = std::from_chars(value.data(), value.data() + value.size(), number);
        if (error != std::errc() || end != value.data() + value.size() || value.front() == '-') {
            return std::string("the ") + RuleOf(field).What + " \"" + std::string(value) +
                   "\" is not a whole number";
        }
        if (std::string problem = AssignmentProblem(field, number); !problem.empty()) return problem;
        NumberOf(fields, field) = number;
        return {};
    }
    if (value.empty()) {
        TextOf(fields, field).reset();
        return {};
    }
    std::string text(value);
    if (std::string problem = TextFieldProblem(field, text); !problem.empty()) return problem;
    TextOf(fields, field) = std::move(text);
    return {};
}

std::string StripFieldText(const StripFields& fields, StripField field) {
    if (IsNumber(field)) {
        const auto& value = NumberOf(fields, field);
        return value ? std::to_string(*value) : std::string();
    }
    const auto& text = TextOf(fields, field);
    return text ? *text : std::string();
}

}  // namespace tarnwick::coordination
