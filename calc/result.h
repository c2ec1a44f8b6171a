#pragma once

#include <utility>
#include <variant>

namespace kalvor::calc {

// A value or the reason there is none; the calculation returns its failures this way and
// never throws.
template <typename T, typename Error> class Result {
public:
    Result(T value) : state_(std::move(value)) {}
    Result(Error error) : state_(error) {}

    bool ok() const { return std::holds_alternative<T>(state_); }
    const T &value() const { return std::get<T>(state_); }
    Error error() const { return std::get<Error>(state_); }

private:
    std::variant<T, Error> state_;
};

} // namespace kalvor::calc
