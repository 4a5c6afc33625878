#pragma once

#include <concepts>

// Helpers for handling a calculation's outcome with std::visit, so that an
// outcome kind nobody handles is a compile error.
namespace calc {

// Lambdas overloaded into one visitor.
template <class... Handlers>
struct Overloaded : Handlers... {
    using Handlers::operator()...;
};
template <class... Handlers>
Overloaded(Handlers...) -> Overloaded<Handlers...>;

// One handler for several kinds, named explicitly:
// [&](const OneOf<KindA, KindB> auto &kind) { ... }
template <class T, class... Kinds>
concept OneOf = (std::same_as<T, Kinds> || ...);

} // namespace calc
