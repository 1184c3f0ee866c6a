#pragma once
// A small benchmark harness: each benchmark registers itself with TASTRO_BENCH and
// prints its figures with bench::Report. The benchmark executables' main runs every
// registered benchmark (or those whose names contain an argument).
#include <string>

namespace bench {

using Fn = void (*)();

struct Registrar {
    Registrar(const char* name, Fn fn);
};

// Seconds from a monotonic high-resolution clock.
double Now();

// Prints one figure: "  <what>: <value> <unit>".
void Report(const std::string& what, double value, const std::string& unit);

// Prints a free-form note line.
void Note(const std::string& text);

// Keeps the optimiser from dropping a computed value.
void Consume(const void* p);

} // namespace bench

#define TASTRO_BENCH(name)                                     \
    static void name();                                        \
    static const bench::Registrar name##_registrar(#name, name); \
    static void name()
