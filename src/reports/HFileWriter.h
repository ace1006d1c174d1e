#pragma once
// Text files written row by row, driven by a table of named settings so that
// one class serves other separators, quoting or line ends.
//
// Settings of the base: "ErrorCode" ("None"; "00" when the file cannot be
// opened, "01" when a write fails), "Dialog" ("ON" asks the chooser for the
// path), "FilePath", "FileOpenType" (a C file mode: "w..." replaces, "a..."
// appends). HCsvWriter adds "Separator", "Quotes", "DataEnd", "Extension" and
// "Filter".
//
// A regular file is written whole or not at all: the lines are kept until
// Close(), which replaces the file in one step, so an export that fails half
// way (or a writer dropped without Close) leaves the old file as it was. A
// device, a FIFO or another special file is written line by line as it goes.
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>

// The front end's save-as dialog: the path chosen, or nothing on Cancel.
class HFileChooser {
public:
    virtual ~HFileChooser() = default;
    [[nodiscard]] virtual std::optional<std::string>
    ChooseSaveFile(std::string_view defaultExtension, std::string_view filter) = 0;
};

class HFileWriter {
public:
    HFileWriter();
    virtual ~HFileWriter();
    HFileWriter(const HFileWriter&) = delete;
    HFileWriter& operator=(const HFileWriter&) = delete;

    void SetSetting(std::string_view name, std::string_view value);
    // Empty for a setting never set.
    [[nodiscard]] std::string GetSetting(std::string_view name) const;

    // Asked when "Dialog" is "ON"; without one, such an Open fails.
    void SetChooser(HFileChooser* chooser) { m_chooser = chooser; }

    // False when the user cancelled ("ErrorCode" unchanged) or the file cannot
    // be opened ("00").
    [[nodiscard]] bool Open();
    [[nodiscard]] bool IsOpen() const { return m_state != State::Closed; }
    // Commits what was written; false ("01") when the file could not be
    // written. Closing a writer that is not open does nothing and succeeds.
    bool Close();
    // The system's reason for the last failure, for the log and a detail line.
    [[nodiscard]] const std::string& Reason() const { return m_reason; }

protected:
    // Writes text as one piece; false ("01") on failure or when not open.
    [[nodiscard]] bool WriteData(std::string_view text);

private:
    enum class State { Closed, Buffered, Stream };
    bool OpenPath(const std::string& path, const std::string& mode);
    void Fail(std::string_view code, std::string reason);

    std::unordered_map<std::string, std::string> m_settings;
    HFileChooser* m_chooser = nullptr;
    State m_state = State::Closed;
    std::string m_target; // the file a Buffered writer replaces on Close
    std::string m_buffer;
    int m_fd = -1; // a Stream writer's descriptor
    std::string m_reason;
};

// A row writer: what the text export hands its rows to.
class HRowWriter {
public:
    virtual ~HRowWriter() = default;
    [[nodiscard]] virtual bool WriteRow(std::span<const std::string> row) = 0;
};

class HCsvWriter : public HFileWriter, public HRowWriter {
public:
    HCsvWriter();
    // Each field between "Quotes" (a quote inside a field doubled, so every
    // CSV reader reads the text back), fields parted by "Separator", the line
    // ended by "DataEnd", written in one piece.
    [[nodiscard]] bool WriteRow(std::span<const std::string> row) override;
    [[nodiscard]] std::string BuildLine(std::span<const std::string> row) const;
};
