#pragma once
// One record of the shop's history: one transfer with one radio, who made it
// where, what the radio held and what it was given. Images are named by their
// SHA-256 and stored once, however many records name them.
#include "HMemoryImage.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

enum class HHistoryOperation { Upload, Download, FleetDownload, Alignment, Recovery };
enum class HHistoryResult { Done, Failed, Cancelled };

namespace HHistoryNames {
// "upload", "download", "fleet download", "alignment", "recovery".
[[nodiscard]] const char* Of(HHistoryOperation operation);
// "done", "failed", "cancelled".
[[nodiscard]] const char* Of(HHistoryResult result);
[[nodiscard]] std::optional<HHistoryOperation> Operation(std::string_view name);
[[nodiscard]] std::optional<HHistoryResult> Result(std::string_view name);
} // namespace HHistoryNames

struct HRadioIdentity {
    std::string serial; // as the radio holds it, without padding; empty when blank
    int productionCode = 0;
    int customCode = 0;
    int band = 0;
    int productType = 0;  // 0 mobile, else handheld
    std::string firmware; // "1.02"

    [[nodiscard]] static HRadioIdentity Of(const HMemoryImage& image);
    // "VHF Mobile"
    [[nodiscard]] std::string Model() const;
};

struct HHistoryRecord {
    std::int64_t id = 0;   // the store's number (order of arrival there)
    std::string uid;       // unique over every bench: a record sent twice is kept once
    std::int64_t time = 0; // seconds since the epoch, UTC
    std::string bench;     // host name
    std::string user;      // login name
    std::string version;   // program version
    HHistoryOperation operation = HHistoryOperation::Upload;
    int accessLevel = 0;
    HHistoryResult result = HHistoryResult::Done;
    std::string message;
    HRadioIdentity radio;
    std::string readHash;    // the radio's memory as read; empty: none
    std::string writtenHash; // the image written; empty: none
    std::string journal;     // a fleet run's journal line
    std::string values;      // the settings a fleet radio was given, "key=value" a line

    // The images, when recording: the store keeps them under their hashes.
    std::shared_ptr<const HMemoryImage> read;
    std::shared_ptr<const HMemoryImage> written;

    // Fills what the caller left empty: uid, time, bench, user, version, and
    // the hashes of the images given. Texts become valid UTF-8.
    void Complete();
    // The image the radio held after this step: the one written when the step
    // went through, else the one read. Its hash; empty when neither.
    [[nodiscard]] const std::string& HashAfter() const;
};

struct HRadioSummary {
    std::int64_t records = 0;
    HHistoryRecord last; // the radio's latest record, without images
};

namespace HHistoryText {
// The text with every byte that is not valid UTF-8, and every control
// character but tab and line feed, as \xNN.
[[nodiscard]] std::string Clean(std::string_view text);
// Image bytes as hex text and back; false for a text that is not one image.
[[nodiscard]] std::string ToHex(const HMemoryImage& image);
[[nodiscard]] bool FromHex(std::string_view text, HMemoryImage& image);
// "2026-03-01 13:04:05" in local time; "2026-03-01T12:04:05Z" in UTC.
[[nodiscard]] std::string LocalTime(std::int64_t seconds);
[[nodiscard]] std::string UtcTime(std::int64_t seconds);
// "YYYY-MM-DD[ HH:MM[:SS]]" in local time, or "YYYY-MM-DDTHH:MM[:SS]Z" in UTC.
[[nodiscard]] std::optional<std::int64_t> ParseTime(std::string_view text);
} // namespace HHistoryText
