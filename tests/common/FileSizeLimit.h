#pragma once

#include <csignal>
#include <sys/resource.h>

// While alive, files this process writes cannot grow past the given size:
// writes beyond it fail as they would on a full disk.
struct FileSizeLimit {
    explicit FileSizeLimit(rlim_t bytes) : m_handler(std::signal(SIGXFSZ, SIG_IGN))
    {
        getrlimit(RLIMIT_FSIZE, &m_saved);
        rlimit limit = m_saved;
        limit.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit() { setrlimit(RLIMIT_FSIZE, &m_saved), std::signal(SIGXFSZ, m_handler); }
    rlimit m_saved{};
    void (*m_handler)(int);
};
