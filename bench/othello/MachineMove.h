// Runs the machine's search from a position to its first move, counting ThinkStep calls; shared
// by the probe and the benchmarks so that both measure the real step-by-step path.
#pragma once

#include "OtelloEngine.h"

struct MachineMove {
    int x = 0, y = 0; // 0 when the machine could not move
    long steps = 0;
};

class MachineMoveWatcher final : public OtelloListener {
  public:
    void onMachineMove(int x, int y) override {
        m_moved = true;
        m_x = x;
        m_y = y;
    }

    // Gives the machine its turn on the engine's current position and steps until it has played
    // (a following turn, when the human has to pass, is left pending).
    MachineMove play(OtelloEngine& engine) {
        m_moved = false;
        engine.setListener(this);
        engine.ComputerTurn();
        return finish(engine);
    }

    // Steps a search that is already running until the machine has played.
    MachineMove finish(OtelloEngine& engine) {
        m_moved = false;
        engine.setListener(this);
        MachineMove m;
        while (!m_moved && engine.isThinking()) {
            engine.ThinkStep();
            ++m.steps;
        }
        if (m_moved) {
            m.x = m_x;
            m.y = m_y;
        }
        return m;
    }

  private:
    bool m_moved = false;
    int m_x = 0, m_y = 0;
};
