// The Othello game without any widget: the real board, the turn logic and the machine's bounded
// alpha-beta search, which advances one node per ThinkStep call so that its owner can spread a
// search over timer ticks. The owner hears about the game through an OtelloListener.
#pragma once

#include "OtelloBoard.h"

#include <array>
#include <cstdint>
#include <string_view>

enum class TSkill : std::uint8_t { skBeginner, skNovice, skExpert, skMaster };

// What the engine reports. Every call comes from inside an engine operation.
class OtelloListener {
  public:
    virtual ~OtelloListener() = default;
    // A square of the real board changed (a disc placed, turned, or given at the end).
    virtual void onSquareChanged(int /*x*/, int /*y*/) {}
    // The machine starts thinking about its move.
    virtual void onThink() {}
    // The machine put its disc on (x, y); onPlay or the next turn follows.
    virtual void onMachineMove(int /*x*/, int /*y*/) {}
    // The machine has played and the human can move.
    virtual void onPlay() {}
    // End of game: the human has at least as many discs as the machine, or fewer.
    virtual void onWin() {}
    virtual void onLost() {}
    // A hint search ended: the human's best square, or nothing to play.
    virtual void onHint(int /*x*/, int /*y*/) {}
    virtual void onNoMove() {}

  protected:
    OtelloListener() = default;
    OtelloListener(const OtelloListener&) = default;
    OtelloListener& operator=(const OtelloListener&) = default;
};

class OtelloEngine final {
  public:
    static constexpr int kMaxLevel = 6;

    explicit OtelloEngine(OtelloListener* listener = nullptr);

    void setListener(OtelloListener* listener) { m_listener = listener; }

    // Opening position, nobody thinking, PlacedCount 0.
    void NewGame();
    // Like NewGame but from the given 64-character position (see otello::parseBoard).
    bool setPosition(std::string_view rows);

    TSkill Skill() const { return m_skill; }
    // Takes effect at once, also on the remaining steps of a running search.
    void setSkill(TSkill skill);
    int depth() const { return m_depth; }
    static int depthOf(TSkill skill);

    // The machine's turn: it starts thinking when it can move; the game ends when neither side can;
    // otherwise the human plays again. Ignored while a search runs.
    void ComputerTurn();
    // Starts a search for the human's best square. Ignored while a search runs.
    void Hint();
    // One node of the running search; returns whether a search is still running.
    bool ThinkStep();

    // The human's move: a legal square is played and the machine's turn follows.
    bool playHuman(int x, int y);

    bool isThinking() const { return m_thinking; }
    bool isHintSearch() const { return m_hintMode; }
    int PlacedCount() const { return m_placedCount; }

    const otello::Board& board() const { return m_boards[0]; }
    // Code of a square of the real board; off-board squares read as the frame.
    std::uint8_t square(int x, int y) const;
    bool isLegal(int x, int y, std::uint8_t side) const;

  private:
    std::uint8_t sideToMove(int level) const;
    bool LegalMove() const;
    bool HasMove(std::uint8_t p, std::uint8_t q);
    void PlayMove();
    void place(int sq, std::uint8_t side);
    int Evaluate() const;
    int FinalCount(std::uint8_t a, std::uint8_t b);
    void startSearch(bool hintMode);
    void ReturnValue(int v);
    void LevelDone();
    void GameOver();

    OtelloListener* m_listener;
    std::array<otello::Board, kMaxLevel + 1> m_boards{};
    TSkill m_skill = TSkill::skBeginner;
    int m_depth = 1;
    int m_placedCount = 0;
    int Level = 0;
    std::uint8_t m_player = otello::kHuman;
    std::uint8_t m_opponent = otello::kMachine;
    bool m_thinking = false;
    bool m_hintMode = false;
    int MoveIndex = 0;
    std::array<int, kMaxLevel + 1> m_savedIndex{};
    std::array<int, kMaxLevel + 1> m_best{};
    std::array<int, kMaxLevel + 1> m_alpha{};
    std::array<int, kMaxLevel + 1> m_beta{};
    int m_square = 0;
};
