#pragma once
// What rp57cli download --repeat adds around each radio's download: waiting
// for the next radio's Check byte and the CSV journal of the run.
#include <atomic>
#include <string>

// One line per radio: time, serial number, result ("ok", "failed",
// "skipped"), message and the values the radio was given (a roster's, those
// kept from the radio). The header is written when the file is new; each line
// is flushed to the disk at once, so a run that ends badly keeps every line
// before it.
//
// The journal must be a regular file: a device (/dev/full) or a FIFO would
// lose lines or stall the run.
class FleetJournal {
public:
    explicit FleetJournal(std::string path) : m_path(std::move(path)) {}
    // Whether the journal is (or can be made) a regular file this user may
    // write; made empty when missing. False with Error() otherwise.
    bool Check();
    // False (with Error()) when the line could not be written.
    bool Append(const std::string& serial, const std::string& result, const std::string& message,
                const std::string& values = {});
    [[nodiscard]] const std::string& Error() const { return m_error; }
    [[nodiscard]] const std::string& Path() const { return m_path; }
    // The last line appended, without its line feed.
    [[nodiscard]] const std::string& LastLine() const { return m_lastLine; }

private:
    // The journal opened for appending, -1 (with Error()) when it cannot be or
    // is no regular file. Never waits: a FIFO without a reader is refused.
    int Open();

    std::string m_path;
    std::string m_error;
    std::string m_lastLine;
};

// Listens on the device until a radio sends its Check byte (true) or `stop`
// becomes true (false). A device that is away (unplugged, a simulated radio
// between two runs) is waited for. Nothing is ever sent.
bool WaitForRadio(const std::string& device, int baud, const std::atomic<bool>& stop);
