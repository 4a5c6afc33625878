#pragma once

#include <algorithm>
#include <atomic>
#include <cstddef>
#include <exception>
#include <mutex>
#include <thread>
#include <vector>

namespace calc::layout {

// Runs work(i) for every i below count, on as many threads as the machine has (the caller's
// among them), each taking the next i in turn. The engine answers from any thread; the first
// exception is passed on once every thread is done, and no new i is started after it.
template <class Work>
void inParallel(std::size_t count, const Work &work)
{
    const std::size_t threads =
        std::min<std::size_t>(count, std::max(1u, std::thread::hardware_concurrency()));
    std::atomic<std::size_t> next{0};
    std::exception_ptr failed;
    std::mutex failing;
    const auto run = [&] {
        try {
            for (std::size_t i; (i = next++) < count;) work(i);
        } catch (...) {
            const std::lock_guard lock(failing);
            if (!failed) failed = std::current_exception();
            next = count;
        }
    };
    {
        std::vector<std::jthread> helpers;
        for (std::size_t t = 1; t < threads; ++t) helpers.emplace_back(run);
        run();
    }
    if (failed) std::rethrow_exception(failed);
}

} // namespace calc::layout
