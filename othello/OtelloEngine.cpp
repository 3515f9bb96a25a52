// The Othello turn logic and the step-wise search.
//
// The search keeps one board per level (level 0 is the real game) and per-level windows, indices
// and best moves in fixed arrays, so that one step never allocates: a step either finds the next
// legal square of the level and goes one level deeper with it, or rates a leaf, or finishes the
// level; values climb back through ReturnValue.
#include "OtelloEngine.h"

using namespace otello;

namespace {
constexpr int kNone = kMoveCount; // "no best move yet" in the per-level best positions
constexpr int kWindow = 32767;
} // namespace

OtelloEngine::OtelloEngine(OtelloListener* listener) : m_listener(listener) {
    setSkill(TSkill::skBeginner);
    NewGame();
}

int OtelloEngine::depthOf(TSkill skill) {
    switch (skill) {
    case TSkill::skBeginner:
        return 1;
    case TSkill::skNovice:
        return 2;
    case TSkill::skExpert:
        return 4;
    case TSkill::skMaster:
        return 6;
    }
    return 1;
}

void OtelloEngine::setSkill(TSkill skill) {
    m_skill = skill;
    m_depth = depthOf(skill);
}

void OtelloEngine::NewGame() {
    m_thinking = false;
    m_hintMode = false;
    // A search abandoned here may have left a deep level; the next one must start from the real board.
    Level = 0;
    m_boards[0] = initialBoard();
    m_placedCount = 0;
}

bool OtelloEngine::setPosition(std::string_view rows) {
    Board b;
    if (!parseBoard(rows, b))
        return false;
    NewGame();
    m_boards[0] = b;
    return true;
}

std::uint8_t OtelloEngine::square(int x, int y) const {
    return onBoard(x, y) ? m_boards[0][index(x, y)] : kFrame;
}

bool OtelloEngine::isLegal(int x, int y, std::uint8_t side) const {
    return onBoard(x, y) && otello::isLegal(m_boards[0], index(x, y), side, adversary(side));
}

// The machine moves at the even levels of its own search, the human at the even levels of a hint.
std::uint8_t OtelloEngine::sideToMove(int level) const {
    return ((level & 1) != 0) != m_hintMode ? kHuman : kMachine;
}

bool OtelloEngine::LegalMove() const {
    return otello::isLegal(m_boards[Level], m_square, m_player, m_opponent);
}

bool OtelloEngine::HasMove(std::uint8_t p, std::uint8_t q) {
    m_player = p;
    m_opponent = q;
    for (const std::uint8_t sq : kMoveOrder) {
        m_square = sq;
        if (LegalMove())
            return true;
    }
    return false;
}

void OtelloEngine::place(int sq, std::uint8_t side) {
    m_boards[Level][sq] = side;
    if (Level == 0) {
        ++m_placedCount;
        if (m_listener)
            m_listener->onSquareChanged(column(sq), row(sq));
    }
}

// Plays the current square for the player on the board of the current level.
void OtelloEngine::PlayMove() {
    const std::uint8_t p = m_player;
    if (Level == 0)
        playMove(m_boards[0], m_square, p, m_opponent, [this, p](int i) { place(i, p); });
    else
        playMove(m_boards[Level], m_square, p, m_opponent);
}

int OtelloEngine::Evaluate() const {
    return evaluate(m_boards[Level], m_player, m_opponent);
}

int OtelloEngine::FinalCount(std::uint8_t a, std::uint8_t b) {
    for (int y = 1; y <= 8; ++y)
        for (int x = 1; x <= 8; ++x)
            if (m_boards[Level][index(x, y)] == kEmpty)
                place(index(x, y), a);
    return finalScore(m_boards[Level], a, b);
}

void OtelloEngine::startSearch(bool hintMode) {
    m_hintMode = hintMode;
    m_best[0] = kNone;
    MoveIndex = 0;
    m_alpha[0] = -kWindow;
    m_beta[0] = kWindow;
    m_thinking = true;
}

void OtelloEngine::ComputerTurn() {
    // Restarting over a running search would leave it with stale levels and windows.
    if (m_thinking)
        return;
    Level = 0;
    if (HasMove(kMachine, kHuman)) {
        startSearch(false);
        if (m_listener)
            m_listener->onThink();
    } else if (!HasMove(kHuman, kMachine)) {
        GameOver();
    }
}

void OtelloEngine::Hint() {
    // During the machine's search it is not the human's turn, and restarting would lose its move.
    if (m_thinking)
        return;
    Level = 0;
    startSearch(true);
}

bool OtelloEngine::playHuman(int x, int y) {
    if (m_thinking || !onBoard(x, y))
        return false;
    Level = 0;
    m_player = kHuman;
    m_opponent = kMachine;
    m_square = index(x, y);
    if (!LegalMove())
        return false;
    PlayMove();
    ComputerTurn();
    return true;
}

bool OtelloEngine::ThinkStep() {
    if (!m_thinking)
        return false;
    m_player = sideToMove(Level);
    m_opponent = adversary(m_player);
    const Board& b = m_boards[Level];
    for (;;) {
        if (MoveIndex >= kMoveCount) {
            LevelDone();
            return m_thinking;
        }
        m_square = kMoveOrder[MoveIndex++];
        if (otello::isLegal(b, m_square, m_player, m_opponent))
            break;
    }
    if (Level >= m_depth) {
        // A leaf: the square found only shows that the side to move is not blocked; the board is
        // rated as it stands, from the side that moved into it.
        std::swap(m_player, m_opponent);
        ReturnValue(Evaluate());
    } else {
        m_savedIndex[Level] = MoveIndex;
        MoveIndex = 0;
        m_boards[Level + 1] = b;
        m_alpha[Level + 1] = -m_beta[Level];
        m_beta[Level + 1] = -m_alpha[Level];
        ++Level;
        PlayMove();
    }
    return m_thinking;
}

void OtelloEngine::ReturnValue(int v) {
    // A cut-off abandons the level and hands the value on up, so this climbs at most kMaxLevel times.
    for (;;) {
        --Level;
        MoveIndex = m_savedIndex[Level];
        if (v <= m_alpha[Level])
            return;
        m_alpha[Level] = v;
        m_best[Level] = MoveIndex - 1;
        if (v < m_beta[Level])
            return;
        if (Level == 0) {
            LevelDone();
            return;
        }
        v = -v;
    }
}

void OtelloEngine::LevelDone() {
    if (Level > 0) {
        // A level hands back the rating of its own board; its moves only act through cut-offs.
        const std::uint8_t side = sideToMove(Level);
        const std::uint8_t other = adversary(side);
        const int v = HasMove(other, side) ? Evaluate() : FinalCount(other, side);
        ReturnValue(v);
        return;
    }
    m_thinking = false;
    if (m_best[0] == kNone) {
        if (m_listener)
            m_listener->onNoMove();
        return;
    }
    m_square = kMoveOrder[m_best[0]];
    if (m_hintMode) {
        if (m_listener)
            m_listener->onHint(column(m_square), row(m_square));
        return;
    }
    m_player = kMachine;
    m_opponent = kHuman;
    PlayMove();
    if (m_listener)
        m_listener->onMachineMove(column(m_square), row(m_square));
    if (HasMove(kHuman, kMachine)) {
        if (m_listener)
            m_listener->onPlay();
    } else {
        // The human must pass: the machine moves again, or the game is over.
        ComputerTurn();
    }
}

void OtelloEngine::GameOver() {
    Level = 0;
    const int v = FinalCount(kHuman, kMachine);
    if (!m_listener)
        return;
    if (v < 0)
        m_listener->onLost();
    else
        m_listener->onWin();
}
