#include "shellext/HostProtocol.h"

#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace thumbhost {

std::string SocketPath()
{
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    if (!runtime || runtime[0] != '/') return {};
    struct stat info {};
    if (stat(runtime, &info) != 0 || !S_ISDIR(info.st_mode) || info.st_uid != getuid() || (info.st_mode & 077))
        return {};
    std::string path = std::string(runtime) + "/vantric-thumbnailer.socket";
    if (path.size() >= sizeof(sockaddr_un::sun_path)) return {};
    return path;
}

std::string LockPath(const std::string& socketPath)
{
    return socketPath + ".lock";
}

std::string EncodeRequest(const std::string& workingFolder, const std::vector<std::string>& args)
{
    std::string out = workingFolder;
    out.push_back('\0');
    for (const std::string& arg : args) {
        out += arg;
        out.push_back('\0');
    }
    return out;
}

bool DecodeRequest(const std::string& bytes, std::string& workingFolder, std::vector<std::string>& args)
{
    if (bytes.empty() || bytes.back() != '\0') return false;
    std::vector<std::string> fields;
    std::size_t start = 0;
    while (start < bytes.size()) {
        const std::size_t end = bytes.find('\0', start);
        fields.emplace_back(bytes, start, end - start);
        start = end + 1;
    }
    if (fields.empty() || fields.front().empty() || fields.front()[0] != '/') return false;
    workingFolder = fields.front();
    args.assign(fields.begin() + 1, fields.end());
    return true;
}

int Connect(const std::string& socketPath)
{
    sockaddr_un address {};
    if (socketPath.size() >= sizeof address.sun_path) return -1;
    const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) return -1;
    address.sun_family = AF_UNIX;
    std::memcpy(address.sun_path, socketPath.c_str(), socketPath.size() + 1);
    if (connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
        close(fd);
        return -1;
    }
    return fd;
}

bool WriteAll(int fd, const char* data, std::size_t size)
{
    while (size > 0) {
        const ssize_t n = write(fd, data, size);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        data += n;
        size -= std::size_t(n);
    }
    return true;
}

bool ReadAll(int fd, std::string& out, std::size_t limit)
{
    char buffer[4096];
    for (;;) {
        const ssize_t n = read(fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return false;
        if (n == 0) return true;
        out.append(buffer, std::size_t(n));
        if (out.size() > limit) return false;
    }
}

} // namespace thumbhost
