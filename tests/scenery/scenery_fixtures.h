#pragma once
// Whole scenery files for the parser's tests, laid out by hand block by block
// on top of SceneryBytes: an airport file and an airspace section.
#include <cstdint>
#include <functional>
#include <string_view>

#include "scenery/scenery_bytes.h"

namespace tarnwick::testing {

// One airport file: a directory block at 0x100 with a single entry pointing at
// the airport record at 0x200, whose sub-records the test appends in order.
class AirportFile {
   public:
    explicit AirportFile(std::string_view name = "Test Field") {
        const std::int64_t entryLength = 16 + static_cast<std::int64_t>(name.size());
        bytes.Header(0x100, 0x30001, 24 - 8 + entryLength).I32(0x100 + 20, 1);
        bytes.Header(0x118, 0x30002, entryLength - 8).I32(0x118 + 8, 0x50001).I32(0x118 + 12, 0x200);
        bytes.Text(0x118 + 16, name);
        bytes.Header(0x118 + entryLength, 0, 0);  // ends the directory chain
        bytes.I32(0x200, 1).I32(0x208, 1);
    }

    // Places a sub-record header at the next free offset and returns that offset.
    std::int64_t Sub(std::int32_t type, std::int32_t bodyLength) {
        const std::int64_t at = next_;
        bytes.Header(at, type, bodyLength);
        next_ += bodyLength + 8;
        return at;
    }

    std::int64_t Reference(std::int32_t latRaw, std::int32_t lonRaw, std::int32_t elevationRaw) {
        const std::int64_t at = Sub(0x10001, 24);
        bytes.I32(at + 12, latRaw).I32(at + 20, lonRaw).I32(at + 28, elevationRaw);
        return at;
    }

    std::int64_t Runway(std::int32_t latRaw, std::int32_t lonRaw, std::int32_t headingRaw,
                        std::int32_t lengthFt, std::int32_t number, std::int32_t code) {
        const std::int64_t at = Sub(0x10002, 48);
        bytes.I32(at + 12, latRaw).I32(at + 20, lonRaw).I32(at + 28, 100).I32(at + 32, headingRaw);
        bytes.I32(at + 40, lengthFt).I32(at + 44, 150).I32(at + 48, code).I32(at + 52, number);
        return at;
    }

    // A runway trailing record: an ILS when the value at +40 is 4.
    std::int64_t Trailer(std::int32_t marker, std::int32_t latRaw, std::int32_t lonRaw,
                         std::int32_t courseRaw, std::int32_t freqRaw, std::string_view id) {
        const std::int64_t at = Sub(0x10004, 48 + static_cast<std::int32_t>(id.size()));
        bytes.I32(at + 12, latRaw).I32(at + 20, lonRaw).I32(at + 32, courseRaw).I32(at + 36, freqRaw);
        bytes.I32(at + 40, marker).Text(at + 56, id);
        return at;
    }

    void Frequency(std::int32_t raw, std::int32_t type) {
        const std::int64_t at = Sub(0x20001, 8);
        bytes.I32(at + 8, raw).I32(at + 12, type);
    }

    void Identifier(std::string_view text) {
        const std::int64_t at = Sub(0x10006, static_cast<std::int32_t>(text.size()));
        bytes.Text(at + 8, text);
    }

    std::int64_t Next() const { return next_; }
    void MoveTo(std::int64_t offset) { next_ = offset; }

    // Closes the record with a sub-record of a type the reader does not know.
    SceneryBuffer Finish() {
        bytes.Header(next_, 0x7777, 0).Resize(static_cast<std::size_t>(next_ + 16));
        return bytes.Buffer();
    }

    SceneryBytes bytes = SceneryBytes::File(0x100, 0);

   private:
    std::int64_t next_ = 0x210;
};

// An airspace section (at 0x100 unless told), built block by block: section
// blocks holding groups, groups holding records, records holding sub-records.
class AirspaceFile {
   public:
    explicit AirspaceFile(std::int64_t start = 0x100) : bytes(SceneryBytes::File(0, start)), at_(start) {}

    // A section block of type 1; with mark 4 at +8 its group starts at +16.
    void OpenSectionBlock(std::int32_t mark = 4) {
        section_ = at_;
        bytes.Header(at_, 1, 0).I32(at_ + 8, mark);
        at_ += 16;
    }
    // Ends the group with a block of an unknown type and closes the section block.
    void CloseSectionBlock() {
        bytes.Header(at_, 0x4444, 0);
        at_ += 8;
        bytes.I32(section_ + 4, at_ - section_ - 8);
    }

    // A group block of type 1; with mark 5 at +8 it is an airspace record.
    void OpenRecord(std::int32_t mark = 5) {
        record_ = at_;
        bytes.Header(at_, 1, 0).I32(at_ + 8, mark);
        at_ += 16;
    }
    // Ends the record's sub-records with an unlisted type and closes the block.
    void CloseRecord(std::int32_t endType = 0x7777) {
        Sub(endType, 0);
        bytes.I32(record_ + 4, at_ - record_ - 8);
    }

    std::int64_t Sub(std::int32_t type, std::int32_t bodyLength) {
        const std::int64_t at = at_;
        bytes.Header(at, type, bodyLength);
        at_ += bodyLength + 8;
        return at;
    }
    void Name(std::string_view text) {
        bytes.Text(Sub(0x10006, static_cast<std::int32_t>(text.size())) + 8, text);
    }
    void Rectangle(std::int32_t lat8, std::int32_t lon12, std::int32_t lat16, std::int32_t lon20) {
        const std::int64_t at = Sub(0x1000B, 16);
        bytes.I32(at + 8, lat8).I32(at + 12, lon12).I32(at + 16, lat16).I32(at + 20, lon20);
    }
    void Point(std::int32_t type, std::int32_t lat, std::int32_t lon) {
        const std::int64_t at = Sub(type, 16);
        bytes.I32(at + 12, lat).I32(at + 20, lon);
    }
    void Start(std::int32_t lat, std::int32_t lon, std::int32_t from, std::int32_t to) {
        const std::int64_t at = Sub(0x12002, 24);
        bytes.I32(at + 12, lat).I32(at + 20, lon).I32(at + 24, from).I32(at + 28, to);
    }
    void Circle(std::int32_t radius, std::int32_t from, std::int32_t to) {
        const std::int64_t at = Sub(0x12008, 16);
        bytes.I32(at + 8, radius).I32(at + 16, from).I32(at + 20, to);
    }
    void Frequency(std::int32_t raw, std::string_view fullName) {
        const std::int64_t at = Sub(0x20001, 8 + static_cast<std::int32_t>(fullName.size()));
        bytes.I32(at + 8, raw).Text(at + 16, fullName);
    }

    // One whole record in one section block.
    void Record(const std::function<void()>& subRecords) {
        OpenSectionBlock();
        OpenRecord();
        subRecords();
        CloseRecord();
        CloseSectionBlock();
    }

    SceneryBuffer Finish() {
        bytes.Header(at_, 0, 0);
        return bytes.Buffer();
    }

    std::int64_t At() const { return at_; }
    void MoveTo(std::int64_t at) { at_ = at; }

    SceneryBytes bytes;

   private:
    std::int64_t at_;
    std::int64_t section_ = 0;
    std::int64_t record_ = 0;
};

}  // namespace tarnwick::testing
