#pragma once
// Writes a recording's text to its file on a thread of its own, so that
// the disk never holds up the main tick: the main thread hands over what
// it has gathered (at least once a second), the thread appends it and
// makes it durable, so a crash or a power cut keeps the file up to its
// last hand-over. The pending text is the only shared state, under a
// mutex; the hand-over swaps it.

#include <condition_variable>
#include <filesystem>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

namespace zt40 {

class RecordingWriter {
public:
    RecordingWriter() = default;
    ~RecordingWriter();
    RecordingWriter(const RecordingWriter&) = delete;
    RecordingWriter& operator=(const RecordingWriter&) = delete;

    // Creates the file (never over an existing one) and starts the
    // thread; why not (German) on failure.
    std::optional<std::string> open(const std::filesystem::path& file);
    bool isOpen() const { return thread_.joinable(); }

    // Appends `text` behind what was handed over before; `text` is left
    // empty with its room kept for the next gathering.
    void handOver(std::string& text);
    // Writes what is pending, waits for the disk and ends the thread.
    void close();

    // The first failure of a write (German); nothing is written after it.
    std::optional<std::string> failure();

private:
    void threadMain();

    int fd_ = -1;
    std::thread thread_;
    std::mutex lock_;  // guards pending_, stopRequested_ and failure_
    std::condition_variable wake_;
    std::string pending_;
    bool stopRequested_ = false;
    std::optional<std::string> failure_;
};

}  // namespace zt40
