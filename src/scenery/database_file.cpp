#include "scenery/database_file.h"

#include <algorithm>

#include "base/byte_reader.h"
#include "base/byte_writer.h"
#include "base/file_system.h"
#include "state/record_fields.h"

namespace tarnwick {
namespace {

// A structural fault in the file (as opposed to its simply ending early).
class MalformedData : public std::runtime_error {
   public:
    using std::runtime_error::runtime_error;
};

// Writes the fields in their stored order; a list is its header and slots,
// then its count field.
class FieldWriter {
   public:
    explicit FieldWriter(ByteWriter& w) : w_(w) {}
    void operator()(const char*, const std::string& v, FieldTag) { w_.Text(v); }
    void operator()(const char*, double v, FieldTag) { w_.F64(v); }
    void operator()(const char*, std::int32_t v, FieldTag) { w_.I32(v); }
    void operator()(const char*, std::int16_t v, FieldTag) { w_.I16(v); }
    void operator()(const char*, std::uint8_t v, FieldTag) { w_.U8(v); }

    template <typename T>
    void List(const char*, const SlotList<T>& list, const char*, std::int32_t count, FieldTag) {
        if (!list.IsSized()) {
            w_.I16(0);
        } else {
            w_.I16(1);
            w_.U32(static_cast<std::uint32_t>(list.SlotCount()));
            w_.I32(0);
            for (const T& element : list.Slots()) VisitFields(element, *this);
        }
        w_.I32(count);
    }

   private:
    ByteWriter& w_;
};

// The fewest bytes one stored element can take, to refuse element counts
// that the remaining bytes could never hold before any memory is reserved.
class MinimumSize {
   public:
    void operator()(const char*, const std::string&, FieldTag) { bytes += 2; }
    void operator()(const char*, double, FieldTag) { bytes += 8; }
    void operator()(const char*, std::int32_t, FieldTag) { bytes += 4; }
    void operator()(const char*, std::int16_t, FieldTag) { bytes += 2; }
    void operator()(const char*, std::uint8_t, FieldTag) { bytes += 1; }
    std::size_t bytes = 0;
};

template <typename T>
std::size_t MinimumBytes() {
    static const std::size_t bytes = [] {
        MinimumSize size;
        const T element{};
        VisitFields(element, size);
        return size.bytes;
    }();
    return bytes;
}

// Fills the record in place, so that a file ending mid-record leaves the
// fields read so far and the rest empty.
class FieldReader {
   public:
    explicit FieldReader(ByteReader& r) : r_(r) {}
    void operator()(const char*, std::string& v, FieldTag) { v = r_.Text(); }
    void operator()(const char*, double& v, FieldTag) { v = r_.F64(); }
    void operator()(const char*, std::int32_t& v, FieldTag) { v = r_.I32(); }
    void operator()(const char*, std::int16_t& v, FieldTag) { v = r_.I16(); }
    void operator()(const char*, std::uint8_t& v, FieldTag) { v = r_.U8(); }

    template <typename T>
    void List(const char*, SlotList<T>& list, const char*, std::int32_t& count, FieldTag) {
        const std::size_t headerAt = r_.Offset();
        const std::int16_t dimensions = r_.I16();
        if (dimensions != 0) {
            if (dimensions != 1) {
                throw MalformedData("a list at byte " + std::to_string(headerAt) + " has " +
                                    std::to_string(dimensions) + " dimensions");
            }
            const std::uint32_t slots = r_.U32();
            const std::int32_t lowerBound = r_.I32();
            if (lowerBound != 0) {
                throw MalformedData("a list at byte " + std::to_string(headerAt) + " starts at index " +
                                    std::to_string(lowerBound));
            }
            if (slots > r_.Remaining() / MinimumBytes<T>()) {
                throw MalformedData("a list at byte " + std::to_string(headerAt) + " announces " +
                                    std::to_string(slots) + " elements, more than the file can hold");
            }
            list.SizeExactly(slots);
            for (std::uint32_t i = 0; i < slots; ++i) VisitFields(list[i], *this);
        }
        count = r_.I32();
    }

   private:
    ByteReader& r_;
};

template <typename Record>
std::vector<std::uint8_t> EncodeTable(std::span<const Record> table) {
    ByteWriter w;
    FieldWriter writer(w);
    for (const Record& record : table) VisitFields(record, writer);
    return w.Take();
}

template <typename Record>
DatabaseReadResult<Record> DecodeTable(std::span<const std::uint8_t> bytes, std::int32_t count) {
    DatabaseReadResult<Record> result;
    if (count < 0) {
        result.Entries.emplace_back();
        result.Damaged = true;
        result.Problem = "the settings give a negative count (" + std::to_string(count) + ")";
        return result;
    }
    ByteReader r(bytes);
    FieldReader reader(r);
    const std::int64_t wanted = static_cast<std::int64_t>(count) + 1;
    // An entry takes at least 64 bytes, so the file's size bounds the reservation.
    result.Entries.reserve(static_cast<std::size_t>(
                               std::min<std::int64_t>(wanted, static_cast<std::int64_t>(bytes.size() / 64))) +
                           1);
    for (std::int64_t i = 0; i < wanted && !result.Damaged; ++i) {
        if (r.AtEnd()) {
            result.Damaged = true;
            result.Problem =
                "the file ends after " + std::to_string(i) + " of " + std::to_string(wanted) + " entries";
            break;
        }
        Record& record = result.Entries.emplace_back();
        try {
            VisitFields(record, reader);
        } catch (const EndOfData&) {
            result.Damaged = true;
            result.Problem =
                "entry " + std::to_string(i) + " is cut off at byte " + std::to_string(r.Offset());
        } catch (const MalformedData& error) {
            result.Damaged = true;
            result.Problem = "entry " + std::to_string(i) + " is damaged: " + error.what();
        }
    }
    // A damaged table keeps what was read and still ends in an empty slot.
    if (result.Damaged) {
        result.Entries.emplace_back();
        return result;
    }
    // More than announced is as wrong as less: the count and the file
    // disagree. The announced entries load; the empty last slot stays empty.
    if (!r.AtEnd() || !(result.Entries.back() == Record{})) {
        result.Damaged = true;
        result.Problem =
            "the settings announce " + std::to_string(count) + " entries but the file holds more after them";
        result.Entries.back() = Record{};
    }
    return result;
}

template <typename Record>
DatabaseReadResult<Record> ReadTable(const std::filesystem::path& path, std::int32_t count) {
    std::vector<std::uint8_t> bytes;
    try {
        bytes = ReadWholeFile(path);
    } catch (const FileError& error) {
        DatabaseReadResult<Record> result;
        result.Entries.emplace_back();
        result.Damaged = true;
        result.Problem = error.what();
        return result;
    }
    auto result = DecodeTable<Record>(bytes, count);
    if (result.Damaged) result.Problem = path.filename().string() + ": " + result.Problem;
    return result;
}

}  // namespace

std::vector<std::uint8_t> EncodeAirports(std::span<const AirportRecord> table) { return EncodeTable(table); }
std::vector<std::uint8_t> EncodeAirspaces(std::span<const AirspaceRecord> table) {
    return EncodeTable(table);
}

DatabaseReadResult<AirportRecord> DecodeAirports(std::span<const std::uint8_t> bytes, std::int32_t count) {
    return DecodeTable<AirportRecord>(bytes, count);
}
DatabaseReadResult<AirspaceRecord> DecodeAirspaces(std::span<const std::uint8_t> bytes, std::int32_t count) {
    return DecodeTable<AirspaceRecord>(bytes, count);
}

void WriteAirportDatabase(const std::filesystem::path& path, std::span<const AirportRecord> table) {
    WriteFileAtomically(path, EncodeAirports(table));
}
void WriteAirspaceDatabase(const std::filesystem::path& path, std::span<const AirspaceRecord> table) {
    WriteFileAtomically(path, EncodeAirspaces(table));
}

DatabaseReadResult<AirportRecord> ReadAirportDatabase(const std::filesystem::path& path, std::int32_t count) {
    return ReadTable<AirportRecord>(path, count);
}
DatabaseReadResult<AirspaceRecord> ReadAirspaceDatabase(const std::filesystem::path& path,
                                                        std::int32_t count) {
    return ReadTable<AirspaceRecord>(path, count);
}

}  // namespace tarnwick
