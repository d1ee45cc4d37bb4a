#pragma once

#include <chrono>
#include <exception>
#include <future>
#include <memory>
#include <optional>
#include <thread>
#include <utility>

// Runs `work` on a thread of its own and gives its result, or nothing when it
// has not finished within `guard`. Only a guard, so that a fault that would keep
// a test busy for minutes fails it instead: no test states a time with it. The
// work must own what it uses (capture by value), since an unfinished thread is
// left behind.
template <typename Work>
auto resultWithin(std::chrono::seconds guard, Work work) -> std::optional<decltype(work())>
{
    using Result = decltype(work());
    auto promise = std::make_shared<std::promise<Result>>();
    std::future<Result> result = promise->get_future();
    std::thread([promise, work = std::move(work)]() mutable {
        try {
            promise->set_value(work());
        } catch (...) {
            promise->set_exception(std::current_exception());
        }
    }).detach();
    if (result.wait_for(guard) != std::future_status::ready)
        return std::nullopt;
    return result.get();
}
