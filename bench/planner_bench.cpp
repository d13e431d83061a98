// Both plans from every one of the 64 start states.
#include "core/bolt_bank.h"
#include "core/planner.h"
#include "runtime/heap.h"

#include <benchmark/benchmark.h>

namespace {

void setBank(int state) {
    for (int i = 0; i < BOLT_COUNT; ++i) {
        BoltBank[i] = static_cast<signed char>((state >> i) & 1);
    }
}

template <void (*plan)()> void allStartStates(benchmark::State& state) {
    openRuntimeHeap();
    createBoltBanks();
    listCreate(&MoveJournal, 4);
    long moves = 0;
    for (auto _ : state) {
        for (int start = 0; start < 64; ++start) {
            setBank(start);
            plan();
            moves += listCount(&MoveJournal);
        }
    }
    state.counters["moves/plan"] =
        benchmark::Counter(static_cast<double>(moves) / (64.0 * state.iterations()));
    clearBoltState();
    closeRuntimeHeap();
}

BENCHMARK(allStartStates<planOpenAll>)->Name("planOpenAll/64-states");
BENCHMARK(allStartStates<planCloseAll>)->Name("planCloseAll/64-states");

} // namespace

BENCHMARK_MAIN();
