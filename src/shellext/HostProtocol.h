#pragma once
// The thumbnail host: a process that keeps VNTThumbView loaded, as a shell
// keeps a thumbnail server loaded, so that a thumbnail does not pay for
// starting Qt and reading the font database each time. vantric-thumbnailer,
// which has no Qt, hands its command line to it over a socket in the user's
// runtime folder; the host runs the command as vantric-thumbnail-host would
// on its own, and sends back what it printed and whether it wrote the PNG.
//
// A request is the client's working folder and its arguments, each ended by a
// zero byte; the client then shuts down its side. The host answers with
// ACCEPTED, then whatever the command writes to standard error, then a zero
// byte and '0' when the thumbnail was written or '1' when not. An answer
// without ACCEPTED means no host served the request.

#include <cstddef>
#include <string>
#include <vector>

namespace thumbhost {

constexpr char ACCEPTED = 'A';
constexpr char WRITTEN = '0';
constexpr char NOT_WRITTEN = '1';
// Bytes a request may take: a working folder and four arguments of a path's
// length each, with room to spare.
constexpr std::size_t MAX_REQUEST = 6 * 4096;
// The host leaves after this long without requests, and ends itself when one
// request takes longer than WORK_SECONDS.
constexpr int IDLE_SECONDS = 60;
constexpr int WORK_SECONDS = 60;

// The socket, in $XDG_RUNTIME_DIR; empty when that folder is not set, not
// absolute, not ours or open to others, or too long a name for a socket.
std::string SocketPath();
// The lock the one host of a user holds while it runs.
std::string LockPath(const std::string& socketPath);

std::string EncodeRequest(const std::string& workingFolder, const std::vector<std::string>& args);
bool DecodeRequest(const std::string& bytes, std::string& workingFolder, std::vector<std::string>& args);

// A connection to the host listening on the socket, or -1.
int Connect(const std::string& socketPath);
bool WriteAll(int fd, const char* data, std::size_t size);
// Reads to the end of the stream; false on an error or beyond limit bytes.
bool ReadAll(int fd, std::string& out, std::size_t limit);

} // namespace thumbhost
