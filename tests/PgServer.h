#pragma once
// A PostgreSQL server of the test's own: initdb into a temporary folder, the
// server listening only on a Unix socket in that folder. PostgreSQL refuses to
// run as root, so under root (as in CI) it runs as the user nobody, owning its
// folder. Skipped, with the reason, only where the server's binaries are absent.
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

class PgServer {
public:
    static constexpr uid_t kNobody = 65534;

    PgServer() {
        m_bin = FindBinaries();
        if (m_bin.empty()) {
            m_absent = true;
            m_problem = "PostgreSQL server binaries not found (/usr/lib/postgresql/*/bin: "
                        "install the postgresql package)";
            return;
        }
        // Under root the folder goes where nobody can reach it, whatever TMPDIR says.
        const std::filesystem::path base = ::geteuid() == 0
                                               ? std::filesystem::path("/tmp")
                                               : std::filesystem::temp_directory_path();
        std::string pattern = (base / "rp57-pg-XXXXXX").string();
        if (!::mkdtemp(pattern.data())) {
            m_problem = "no temporary folder";
            return;
        }
        m_dir = pattern;
        if (::geteuid() == 0 && ::chown(m_dir.c_str(), kNobody, kNobody) != 0) {
            m_problem = "cannot give the folder to nobody";
            return;
        }
        if (Run({m_bin + "/initdb", "-D", m_dir + "/data", "-U", "rp57", "-A", "trust", "--no-sync",
                 "-E", "UTF8", "--locale=C"}) != 0) {
            m_problem = "initdb failed (see " + m_dir + "/run.log)";
            return;
        }
        if (!Start())
            m_problem = "the server did not start (see " + m_dir + "/server.log)";
    }
    ~PgServer() {
        if (m_running)
            Stop();
        std::error_code ec;
        if (!m_dir.empty())
            std::filesystem::remove_all(m_dir, ec);
    }
    PgServer(const PgServer&) = delete;
    PgServer& operator=(const PgServer&) = delete;

    // Empty when the server runs; else why it does not.
    [[nodiscard]] const std::string& Problem() const { return m_problem; }
    // The server's binaries are not installed: the only reason to skip.
    [[nodiscard]] bool Absent() const { return m_absent; }
    [[nodiscard]] const std::string& Dir() const { return m_dir; }

    bool Start() {
        m_running =
            Run({m_bin + "/pg_ctl", "-D", m_dir + "/data", "-l", m_dir + "/server.log", "-o",
                 "-k " + m_dir + " -c listen_addresses='' -F", "-w", "-t", "60", "start"}) == 0;
        return m_running;
    }
    bool Stop() {
        const bool ok = Run({m_bin + "/pg_ctl", "-D", m_dir + "/data", "-m", "fast", "-w", "-t",
                             "60", "stop"}) == 0;
        m_running = !ok;
        return ok;
    }

    // A keyword connection string for database `db`.
    [[nodiscard]] std::string Connection(const std::string& db) const {
        return "host=" + m_dir + " dbname=" + db + " user=rp57";
    }
    // A fresh, empty database; its connection string.
    std::string NewDatabase() {
        const std::string name = "t" + std::to_string(++m_databases);
        if (Run({m_bin + "/psql", "-q", "-X", Connection("postgres"), "-c",
                 "CREATE DATABASE " + name}) != 0)
            return {};
        return Connection(name);
    }
    // Runs SQL through psql in database `connection`; true when it went through.
    bool Sql(const std::string& connection, const std::string& sql) {
        return Run({m_bin + "/psql", "-q", "-X", "-v", "ON_ERROR_STOP=1", connection, "-c", sql}) ==
               0;
    }

    // The first value the query gives, through psql; empty when none.
    std::string Value(const std::string& connection, const std::string& sql) {
        const std::string out = m_dir + "/value.txt";
        std::error_code ec;
        std::filesystem::remove(out, ec);
        if (Run({m_bin + "/psql", "-X", "-A", "-t", "-o", out, connection, "-c", sql}) != 0)
            return {};
        std::FILE* f = std::fopen(out.c_str(), "r");
        if (!f)
            return {};
        char line[256] = {};
        const bool got = std::fgets(line, sizeof line, f) != nullptr;
        std::fclose(f);
        std::string text = got ? line : "";
        while (!text.empty() && (text.back() == '\n' || text.back() == '\r'))
            text.pop_back();
        return text;
    }

private:
    static std::string FindBinaries() {
        std::string best;
        std::error_code ec;
        for (const auto& e : std::filesystem::directory_iterator("/usr/lib/postgresql", ec))
            if (std::filesystem::exists(e.path() / "bin" / "initdb", ec) &&
                std::filesystem::exists(e.path() / "bin" / "pg_ctl", ec) &&
                (best.empty() || e.path().string() > best))
                best = e.path().string();
        return best.empty() ? best : best + "/bin";
    }

    // The command as the folder's owner, in the folder, output to run.log.
    int Run(std::vector<std::string> args) {
        if (::geteuid() == 0) {
            const std::string id = std::to_string(kNobody);
            args.insert(args.begin(),
                        {"/usr/bin/setpriv", "--reuid=" + id, "--regid=" + id, "--clear-groups"});
        }
        const std::string log = m_dir + "/run.log";
        const pid_t pid = ::fork();
        if (pid == 0) {
            if (::chdir(m_dir.c_str()) != 0)
                ::_exit(126);
            std::FILE* out = std::fopen(log.c_str(), "a");
            if (out) {
                ::dup2(::fileno(out), 1);
                ::dup2(::fileno(out), 2);
            }
            std::vector<char*> argv;
            for (std::string& a : args)
                argv.push_back(a.data());
            argv.push_back(nullptr);
            ::execv(argv[0], argv.data());
            ::_exit(127);
        }
        int status = 0;
        if (pid < 0 || ::waitpid(pid, &status, 0) != pid || !WIFEXITED(status))
            return -1;
        return WEXITSTATUS(status);
    }

    std::string m_bin;
    std::string m_dir;
    std::string m_problem;
    bool m_running = false;
    bool m_absent = false;
    int m_databases = 0;
};
