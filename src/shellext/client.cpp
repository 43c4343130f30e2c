// vantric-thumbnailer: the desktop's thumbnailer for target documents.
//
//   vantric-thumbnailer -s SIZE INPUT OUTPUT
//   vantric-thumbnailer --register | --unregister
//
// The work is vantric-thumbnail-host's, which loads VNTThumbView as a shell
// does. This program starts no Qt of its own: it hands its command line to
// the user's thumbnail host, starting one when none runs, and prints what the
// host answers. Where no host can serve (no runtime folder, a sandbox, the
// host failing to start), it becomes vantric-thumbnail-host for this one
// command. The exit status is the host's: 0 only when the PNG was written.

#include <fcntl.h>
#include <limits.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "shellext/HostProtocol.h"

#ifndef VANTRIC_BIN_TO_LIB
#define VANTRIC_BIN_TO_LIB "../lib/vantric"
#endif

namespace {

constexpr const char* HOST_NAME = "vantric-thumbnail-host";
// How long a host just started may take to listen.
constexpr auto START_WAIT = std::chrono::seconds(3);

// Beside this program in the build tree, in the library folder once installed.
std::string hostProgram()
{
    char self[PATH_MAX];
    const ssize_t n = readlink("/proc/self/exe", self, sizeof self - 1);
    if (n <= 0) return {};
    std::string dir(self, std::size_t(n));
    dir.erase(dir.rfind('/'));
    for (const std::string& path : {dir + "/" + HOST_NAME, dir + "/" VANTRIC_BIN_TO_LIB "/" + HOST_NAME})
        if (access(path.c_str(), X_OK) == 0) return path;
    return {};
}

// The host's exit status for the request, or nothing when no host served it.
std::optional<int> askHost(int fd, const std::string& request)
{
    std::string answer;
    const bool sent = thumbhost::WriteAll(fd, request.data(), request.size()) && shutdown(fd, SHUT_WR) == 0;
    const bool read = sent && thumbhost::ReadAll(fd, answer, std::string::npos);
    close(fd);
    if (!read || answer.empty() || answer[0] != thumbhost::ACCEPTED) return std::nullopt;
    const std::size_t size = answer.size();
    const bool finished = size >= 3 && answer[size - 2] == '\0' &&
                          (answer[size - 1] == thumbhost::WRITTEN || answer[size - 1] == thumbhost::NOT_WRITTEN);
    const std::string text = answer.substr(1, finished ? size - 3 : std::string::npos);
    std::fwrite(text.data(), 1, text.size(), stderr);
    if (!finished) {
        // The host stopped before it was done: the file it was reading made it crash or run too long.
        std::fprintf(stderr, "vantric-thumbnailer: the thumbnail was not made: the thumbnail host stopped\n");
        return 1;
    }
    return answer[size - 1] == thumbhost::WRITTEN ? 0 : 1;
}

// Starts a host detached from this process (its own session, no inherited
// files, standard streams on /dev/null, working in /); true when it started.
bool startHost(const std::string& host, const std::string& socketPath)
{
    int status[2];
    if (pipe2(status, O_CLOEXEC) != 0) return false;
    const pid_t child = fork();
    if (child < 0) {
        close(status[0]);
        close(status[1]);
        return false;
    }
    if (child == 0) {
        close(status[0]);
        setsid();
        if (fork() != 0) _exit(0);
        const int null = open("/dev/null", O_RDWR);
        if (null < 0 || chdir("/") != 0) _exit(1);
        dup2(null, STDIN_FILENO);
        dup2(null, STDOUT_FILENO);
        dup2(null, STDERR_FILENO);
        if (status[1] > 3) close_range(3, unsigned(status[1]) - 1, 0);
        close_range(unsigned(status[1]) + 1, ~0U, 0);
        execl(host.c_str(), HOST_NAME, "--serve", socketPath.c_str(), static_cast<char*>(nullptr));
        const int error = errno;
        thumbhost::WriteAll(status[1], reinterpret_cast<const char*>(&error), sizeof error);
        _exit(127);
    }
    close(status[1]);
    int waited = 0;
    while (waitpid(child, &waited, 0) < 0 && errno == EINTR) {}
    // The pipe closes at a successful exec; an error number comes through it otherwise.
    int error = 0;
    ssize_t n;
    while ((n = read(status[0], &error, sizeof error)) < 0 && errno == EINTR) {}
    close(status[0]);
    return n == 0 && WIFEXITED(waited) && WEXITSTATUS(waited) == 0;
}

std::optional<int> throughHost(const std::string& host, const std::vector<std::string>& args)
{
    const std::string socketPath = thumbhost::SocketPath();
    char cwd[PATH_MAX];
    if (socketPath.empty() || !getcwd(cwd, sizeof cwd)) return std::nullopt;
    const std::string request = thumbhost::EncodeRequest(cwd, args);
    if (request.size() > thumbhost::MAX_REQUEST) return std::nullopt;

    int fd = thumbhost::Connect(socketPath);
    if (fd >= 0) {
        if (std::optional<int> status = askHost(fd, request)) return status;
    }
    // No host, or one that was leaving: start one and wait for it to listen.
    if (!startHost(host, socketPath)) return std::nullopt;
    const auto deadline = std::chrono::steady_clock::now() + START_WAIT;
    while (std::chrono::steady_clock::now() < deadline) {
        fd = thumbhost::Connect(socketPath);
        if (fd >= 0) return askHost(fd, request);
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return std::nullopt;
}

} // namespace

int main(int argc, char** argv)
{
    const std::string host = hostProgram();
    if (host.empty()) {
        std::fprintf(stderr, "vantric-thumbnailer: cannot find %s\n", HOST_NAME);
        return 1;
    }
    const std::vector<std::string> args(argv + 1, argv + argc);
    const bool registration = args.size() == 1 && (args[0] == "--register" || args[0] == "--unregister");
    if (!registration) {
        if (std::optional<int> status = throughHost(host, args)) return *status;
    }
    std::vector<char*> hostArgs(argv, argv + argc + 1);
    hostArgs[0] = const_cast<char*>(HOST_NAME);
    execv(host.c_str(), hostArgs.data());
    std::fprintf(stderr, "vantric-thumbnailer: cannot run %s: %s\n", host.c_str(), std::strerror(errno));
    return 1;
}
