#pragma once

#include "client/cancel_token.h"
#include "client/sensibo_api.h"

#include <QCoro/QCoroTask>
#include <optional>
#include <type_traits>
#include <variant>

// What an awaited client operation ended with: its value, its failure, or cancellation.
template <class T> struct Outcome {
    using Value = std::conditional_t<std::is_void_v<T>, std::monostate, T>;
    std::optional<Value> value;
    std::optional<SensiboAPI::Failure> failure;
    bool cancelled = false;
};

namespace detail {
template <class T> QCoro::Task<Outcome<T>> capture(QCoro::Task<T> task) {
    Outcome<T> outcome;
    try {
        if constexpr (std::is_void_v<T>) {
            co_await std::move(task);
            outcome.value.emplace();
        } else {
            outcome.value = co_await std::move(task);
        }
    } catch (const SensiboAPI::Failure& failure) {
        outcome.failure = failure;
    } catch (const Cancelled&) {
        outcome.cancelled = true;
    }
    co_return outcome;
}
} // namespace detail

// Runs the event loop until `task` has finished. QCoro::waitFor alone never returns when the
// task throws, so the failure or cancellation is caught here and handed back.
template <class T> Outcome<T> outcomeOf(QCoro::Task<T> task) {
    return QCoro::waitFor(detail::capture(std::move(task)));
}
