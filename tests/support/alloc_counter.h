#pragma once
// Counts calls of the global operator new in a program linked with quorvex_alloc_counter, so
// tests and benchmarks can show that a hot path allocates nothing once warm.
namespace qv::test {

long AllocationCount();

}  // namespace qv::test
