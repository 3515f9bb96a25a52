// Othello search speed: ThinkStep calls per second on master searches, and whole games of random
// play against the master, reporting the worst wall time and the step counts of one machine move.
#include "MachineMove.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <random>
#include <vector>

using namespace otello;

namespace {

// Positions of games played at random from the opening, the machine to move with a legal square.
std::vector<Board> machinePositions(int count, unsigned seed) {
    std::mt19937 rng(seed);
    std::vector<Board> out;
    while (static_cast<int>(out.size()) < count) {
        Board b = initialBoard();
        const int plies = 1 + 2 * static_cast<int>(rng() % 28);
        std::uint8_t side = kHuman;
        for (int p = 0; p < plies; ++p) {
            std::vector<int> moves;
            for (const std::uint8_t sq : kMoveOrder)
                if (isLegal(b, sq, side, adversary(side)))
                    moves.push_back(sq);
            if (!moves.empty())
                playMove(b, moves[rng() % moves.size()], side, adversary(side));
            side = adversary(side);
        }
        if (firstLegal(b, kMachine, kHuman) >= 0)
            out.push_back(b);
    }
    return out;
}

void BM_ThinkStep(benchmark::State& state) {
    const auto positions = machinePositions(64, 1);
    OtelloEngine engine;
    engine.setSkill(static_cast<TSkill>(state.range(0)));
    size_t next = 0;
    auto restart = [&] {
        engine.setPosition(formatBoard(positions[next++ % positions.size()]));
        engine.ComputerTurn();
    };
    restart();
    for (auto _ : state) {
        if (!engine.ThinkStep())
            restart();
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_ThinkStep)->Arg(static_cast<int>(TSkill::skExpert))->Arg(static_cast<int>(TSkill::skMaster));

// Whole games: the human plays a random legal square (fixed seed), the machine searches at master.
void BM_MasterGames(benchmark::State& state) {
    const int games = static_cast<int>(state.range(0));
    double worstMs = 0, totalSteps = 0;
    long maxSteps = 0, moves = 0;
    for (auto _ : state) {
        for (int g = 0; g < games; ++g) {
            std::mt19937 rng(1000 + g);
            OtelloEngine engine;
            engine.setSkill(TSkill::skMaster);
            MachineMoveWatcher watcher;
            engine.setListener(&watcher);
            for (;;) {
                if (engine.isThinking()) {
                    const auto t0 = std::chrono::steady_clock::now();
                    const MachineMove m = watcher.finish(engine);
                    const auto t1 = std::chrono::steady_clock::now();
                    worstMs = std::max(worstMs, std::chrono::duration<double, std::milli>(t1 - t0).count());
                    totalSteps += static_cast<double>(m.steps);
                    maxSteps = std::max(maxSteps, m.steps);
                    ++moves;
                    continue;
                }
                std::vector<int> squares;
                for (int y = 1; y <= 8; ++y)
                    for (int x = 1; x <= 8; ++x)
                        if (engine.isLegal(x, y, kHuman))
                            squares.push_back(index(x, y));
                if (squares.empty()) {
                    // The human passes; the game is over when the machine cannot move either.
                    engine.ComputerTurn();
                    if (!engine.isThinking())
                        break;
                    continue;
                }
                const int sq = squares[rng() % squares.size()];
                engine.playHuman(column(sq), row(sq));
            }
        }
    }
    state.counters["worst_move_ms"] = worstMs;
    state.counters["avg_steps_per_move"] = moves ? totalSteps / static_cast<double>(moves) : 0;
    state.counters["max_steps_per_move"] = static_cast<double>(maxSteps);
    state.counters["machine_moves"] = static_cast<double>(moves);
}
BENCHMARK(BM_MasterGames)->Arg(100)->Iterations(1)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
