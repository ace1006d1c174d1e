#pragma once
// Process-wide levelled trace log, configured by "INI_LOG.ini" in the program
// data directory. Off (every write a no-op) until Begin() succeeds.
#include <cstdarg>
#include <string>

class HLogPrint {
public:
    static constexpr int kCategories = 100;

    // Reads INI_LOG.ini from the program data directory. False (logging stays
    // off) when DEF_LOG_NAME is empty or missing.
    static bool Begin();
    // Same, with an explicit directory holding INI_LOG.ini (tests).
    static bool Begin(const std::string& programDir);
    static void End();
    static bool IsOn();

    static void Print(int level, int category, const char* file, int line, const char* format, ...)
        __attribute__((format(printf, 5, 6)));
    static void PrintV(int level, int category, const char* file, int line, const char* format,
                       va_list args);
    static void Write(int level, int category, const char* file, int line, const std::string& text);

    // Formats with printf rules; the shared helper of Print and the worker-thread wrappers.
    static std::string Format(const char* format, va_list args);
};

// Call sites of this system use category 0.
#define HLOG(level, ...) HLogPrint::Print((level), 0, __FILE__, __LINE__, __VA_ARGS__)
#define HLOG_ER(...) HLOG(1, __VA_ARGS__)
#define HLOG_WR(...) HLOG(2, __VA_ARGS__)
#define HLOG_D1(...) HLOG(3, __VA_ARGS__)
#define HLOG_D2(...) HLOG(4, __VA_ARGS__)
#define HLOG_D3(...) HLOG(5, __VA_ARGS__)
#define HLOG_D4(...) HLOG(6, __VA_ARGS__)
