#pragma once
// A value or an error, as the start operations return them (std::expected is C++23).
#include <cstdint>
#include <string>
#include <utility>
#include <variant>

namespace launcherwindows {

struct Unit {};

template <class T, class E>
class [[nodiscard]] Result {
public:
    static Result ok(T value) { return Result(std::in_place_index<0>, std::move(value)); }
    static Result err(E error) { return Result(std::in_place_index<1>, std::move(error)); }

    bool is_ok() const { return v_.index() == 0; }
    explicit operator bool() const { return is_ok(); }
    T& value() { return std::get<0>(v_); }
    const T& value() const { return std::get<0>(v_); }
    E& error() { return std::get<1>(v_); }
    const E& error() const { return std::get<1>(v_); }
    T value_or(T fallback) const { return is_ok() ? value() : std::move(fallback); }

private:
    template <std::size_t I, class U>
    Result(std::in_place_index_t<I> i, U&& u) : v_(i, std::forward<U>(u)) {}
    std::variant<T, E> v_;
};

// Success, or the system error code of the call that failed.
using SystemResult = Result<Unit, std::uint32_t>;
// Success for the code 0, else that code.
inline SystemResult system_result(std::uint32_t code) {
    return code == 0 ? SystemResult::ok(Unit{}) : SystemResult::err(code);
}

// Success, or an error text (the Java and native-library starts).
using StartResult = Result<Unit, std::string>;

inline StartResult start_ok() { return StartResult::ok(Unit{}); }
inline StartResult start_error(std::string text) { return StartResult::err(std::move(text)); }

}  // namespace launcherwindows
