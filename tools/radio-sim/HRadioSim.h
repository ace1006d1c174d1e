#pragma once
// A simulated radio on a pseudo-terminal, written from the radio's side of the
// clone protocol: it echoes every byte (the one-wire cable), sends Check until
// it hears Power On or ADJ, answers block reads, writes and the reset, and keeps
// its memory in a file. Faults can be injected to test the program's handling.
#include "HMemoryImage.h"
#include "HSimAlignment.h"

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <deque>
#include <optional>
#include <string>
#include <vector>

enum class HSimFaultKind {
    Silent,      // never sends Check
    DropByte,    // the N-th reply byte is not sent
    BadChecksum, // responses for AREA:BLOCK carry a wrong checksum
    Nak,         // a FLASH write of PAGE is answered with 0x15 (and not stored)
    WrongFirst,  // responses for AREA:BLOCK start with the wrong command byte
    VanishAfter, // stops answering after N frames
    NoEcho,      // the cable does not echo
    WriteFail,   // an EEPROM write of WORD is answered with 0x15 (and not stored)
    NakCommand,  // the alignment command CODE is answered with 0x15
    NoLock,      // the PLL never locks, whatever VCV is sent
    VcvDrift,    // VCV readings lie N lower on test channel CH (every channel: -1)
    Damaged,     // adjustment copy AREA (0 working, 1 shipping default, 2 both) is damaged
};

struct HSimFault {
    HSimFaultKind kind = HSimFaultKind::Silent;
    long a = 0; // N, PAGE or AREA
    long b = 0; // BLOCK or CH
};

// "silent", "drop-byte:N", "bad-checksum:AREA:BLOCK", "nak:PAGE",
// "wrong-first:AREA:BLOCK", "vanish-after:N", "no-echo", "write-fail:WORD",
// "nak-command:CODE", "no-lock", "vcv-drift:N[:CH]", "damaged:AREA". AREA is 0/1 or eeprom/flash
// (damaged also takes both); numbers are decimal or 0x-hex. std::nullopt when
// malformed.
[[nodiscard]] std::optional<HSimFault> ParseSimFault(const std::string& text);

struct HSimConfig {
    std::string memoryPath;
    std::string linkPath;
    std::optional<int> productionCode;
    std::optional<int> customCode;
    bool pace = false;
    bool once = false;
    std::vector<HSimFault> faults;
    std::string logPath;
    // Time between two Check bytes while waiting for Power On.
    std::chrono::milliseconds checkInterval{100};
};

// The memory of a radio as it leaves the factory, the simulator's own when its
// memory file does not exist yet: the built-in image with mobile model codes,
// the working adjustment copy marked sound, the shipping default a copy of it,
// both checksums sound.
[[nodiscard]] HMemoryImage SimFactoryMemory();
// Damages the working copy (EEPROM) and/or the shipping default (FLASH) of
// the adjustment data: the values its checksum covers read 0xFF (the stored
// checksum stays, so it no longer verifies) and its identity mark is lost
// (FF FF in EEPROM, 00 00 in FLASH).
void DamageAdjustment(HMemoryImage& memory, bool working, bool shipping);

// Image bytes of the model codes (EEPROM word 1: production code, custom code).
inline constexpr std::size_t kSimProductionCodeOffset = 2;
inline constexpr std::size_t kSimCustomCodeOffset = 3;

class HRadioSim {
public:
    explicit HRadioSim(HSimConfig config);
    ~HRadioSim();
    HRadioSim(const HRadioSim&) = delete;
    HRadioSim& operator=(const HRadioSim&) = delete;

    // Loads the memory, opens the pseudo-terminal and makes the link.
    // False (with a reason in Error()) on failure.
    bool Start();
    // Runs until `stopFd` becomes readable, or after the first reset with --once.
    // Returns the process exit code.
    int Run(int stopFd);
    // Saves unsaved writes and removes the link (also done by the destructor).
    void Shutdown();
    [[nodiscard]] const std::string& Error() const { return m_error; }
    [[nodiscard]] const HMemoryImage& Memory() const { return m_memory; }
    [[nodiscard]] std::string SlaveName() const { return m_slaveName; }

private:
    enum class Mode { WaitPowerOn, Clone, Adj, Vanished };
    using Clock = std::chrono::steady_clock;

    bool LoadMemory();
    bool SaveMemory();
    void OnByte(std::uint8_t byte, Clock::time_point now);
    void OnFrame(Clock::time_point now);
    void Reply(std::vector<std::uint8_t> bytes, const char* note);
    void Send(std::uint8_t byte, bool isReply);
    bool FlushOutput(Clock::time_point now);
    std::chrono::nanoseconds ByteTime() const;
    [[nodiscard]] bool HasFault(HSimFaultKind kind) const;
    [[nodiscard]] const HSimFault* FindFault(HSimFaultKind kind, long a, long b) const;
    void LogLine(const char* direction, const std::vector<std::uint8_t>& bytes,
                 const char* note = nullptr);
    void LogText(const std::string& text);
    void EndSession(Clock::time_point now);

    HSimConfig m_config;
    HMemoryImage m_memory{};
    std::string m_error;
    int m_master = -1;
    int m_slaveKeep = -1; // keeps the slave side alive between sessions
    std::string m_slaveName;
    bool m_linkMade = false;
    std::FILE* m_log = nullptr;
    Clock::time_point m_start;

    Mode m_mode = Mode::WaitPowerOn;
    bool m_dirty = false;
    bool m_exitAfterReset = false;
    bool m_done = false;
    Clock::time_point m_nextCheck;
    bool m_checkLogged = false;
    std::vector<std::uint8_t> m_frame;
    Clock::time_point m_lastRx;
    long m_replyBytes = 0; // counts every reply byte, for drop-byte
    long m_frames = 0;     // complete frames received, for vanish-after
    HSimAlignment m_alignment;

    struct OutByte {
        std::uint8_t byte;
    };
    std::deque<OutByte> m_out;
    Clock::time_point m_nextSend;
};
