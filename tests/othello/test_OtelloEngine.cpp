// Othello engine: opening, ratings, the machine's choice at each skill, turn passing, the end of
// the game and hints, all on the widget-free engine.
#include "AllocationCounter.h"
#include "OtelloEngine.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <random>
#include <set>
#include <string>
#include <utility>
#include <vector>

using namespace otello;

namespace {

using Square = std::pair<int, int>;

std::string rows(std::initializer_list<const char*> lines) {
    std::string s;
    for (const char* l : lines)
        s += l;
    return s;
}

Board boardOf(const std::string& text) {
    Board b{};
    EXPECT_TRUE(parseBoard(text, b)) << text;
    return b;
}

// Records what the engine reports, in order.
struct Recorder final : OtelloListener {
    const OtelloEngine* engine = nullptr;
    std::vector<std::string> events;
    int squareChanges = 0;
    int emptyAtEnd = -1;
    std::vector<Square> machineMoves;

    void onSquareChanged(int, int) override { ++squareChanges; }
    void onThink() override { events.push_back("think"); }
    void onMachineMove(int x, int y) override {
        machineMoves.emplace_back(x, y);
        events.push_back("move " + std::to_string(x) + " " + std::to_string(y));
    }
    void onPlay() override { events.push_back("play"); }
    void onWin() override { end("win"); }
    void onLost() override { end("lost"); }
    void onHint(int x, int y) override {
        events.push_back("hint " + std::to_string(x) + " " + std::to_string(y));
    }
    void onNoMove() override { events.push_back("nomove"); }

    void end(const char* what) {
        events.push_back(what);
        emptyAtEnd = discCount(engine->board(), kEmpty);
    }
};

struct Game {
    Recorder rec;
    OtelloEngine engine{&rec};
    Game() { rec.engine = &engine; }
    explicit Game(const std::string& position, TSkill skill = TSkill::skBeginner) : Game() {
        EXPECT_TRUE(engine.setPosition(position));
        engine.setSkill(skill);
    }
    // Runs ThinkStep until nobody thinks; returns the number of calls.
    long think() {
        long steps = 0;
        while (engine.isThinking() && steps < 100'000'000) {
            engine.ThinkStep();
            ++steps;
        }
        return steps;
    }
};

// Outcome of one search: the square chosen (x, y; -1 for none) and the ThinkStep calls it took.
struct Outcome {
    int square = -1;
    long steps = 0;
    bool operator==(const Outcome&) const = default;
};

std::ostream& operator<<(std::ostream& os, const Outcome& o) {
    return os << "(" << column(o.square) << "," << row(o.square) << ") in " << o.steps << " steps";
}

// The machine's next move from a position, stopping as soon as it has played.
Outcome engineMachineMove(const Board& b, TSkill skill) {
    Game g(formatBoard(b), skill);
    g.engine.ComputerTurn();
    Outcome o;
    while (g.engine.isThinking() && g.rec.machineMoves.empty()) {
        g.engine.ThinkStep();
        ++o.steps;
    }
    if (!g.rec.machineMoves.empty())
        o.square = index(g.rec.machineMoves[0].first, g.rec.machineMoves[0].second);
    return o;
}

Outcome engineHint(const Board& b, TSkill skill) {
    Game g(formatBoard(b), skill);
    g.engine.Hint();
    Outcome o;
    o.steps = g.think();
    for (const std::string& e : g.rec.events)
        if (e.rfind("hint ", 0) == 0)
            o.square = index(e[5] - '0', e[7] - '0');
    return o;
}

// The same search written as a recursion over copied boards, counting one step per node visited
// the way the step machine does: one per square that leads deeper or rates a leaf, one per level
// that runs out of squares. It keeps the engine's rule that a level hands back the rating of its
// own board and that the values of its moves only matter through cut-offs.
class RecursiveSearch {
  public:
    RecursiveSearch(int depth, bool hint) : m_depth(depth), m_hint(hint) {}

    Outcome run(const Board& b) {
        node(0, b, -32767, 32767);
        return {m_best < 0 ? -1 : kMoveOrder[m_best], m_steps};
    }

  private:
    std::uint8_t side(int level) const { return ((level & 1) != 0) != m_hint ? kHuman : kMachine; }

    int node(int level, const Board& b, int alpha, int beta) {
        const std::uint8_t s = side(level), o = adversary(s);
        for (int i = 0; i < kMoveCount; ++i) {
            const int sq = kMoveOrder[i];
            if (!isLegal(b, sq, s, o))
                continue;
            ++m_steps;
            if (level >= m_depth)
                return evaluate(b, o, s);
            Board child = b;
            playMove(child, sq, s, o);
            const int v = node(level + 1, child, -beta, -alpha);
            if (v > alpha) {
                alpha = v;
                if (level == 0)
                    m_best = i;
                if (v >= beta)
                    return -v;
            }
        }
        ++m_steps;
        if (level == 0)
            return 0;
        if (firstLegal(b, o, s) >= 0)
            return evaluate(b, o, s);
        Board filled = b;
        for (auto& c : filled)
            if (c == kEmpty)
                c = o;
        return finalScore(filled, o, s);
    }

    int m_depth;
    bool m_hint;
    int m_best = -1;
    long m_steps = 0;
};

// Positions reached by random play from the opening, both sides moving, a blocked side passing.
std::vector<Board> randomPositions(int count, unsigned seed) {
    std::mt19937 rng(seed);
    std::vector<Board> out;
    while (static_cast<int>(out.size()) < count) {
        Board b = initialBoard();
        const int plies = static_cast<int>(rng() % 58);
        std::uint8_t s = kHuman;
        for (int p = 0; p < plies; ++p) {
            std::vector<int> moves;
            for (const std::uint8_t sq : kMoveOrder)
                if (isLegal(b, sq, s, adversary(s)))
                    moves.push_back(sq);
            if (moves.empty()) {
                if (firstLegal(b, adversary(s), s) < 0)
                    break;
            } else {
                playMove(b, moves[rng() % moves.size()], s, adversary(s));
            }
            s = adversary(s);
        }
        out.push_back(b);
    }
    return out;
}

std::set<Square> legalSquares(const OtelloEngine& e, std::uint8_t side) {
    std::set<Square> s;
    for (int y = 0; y <= 9; ++y)
        for (int x = 0; x <= 9; ++x)
            if (e.isLegal(x, y, side))
                s.emplace(x, y);
    return s;
}

} // namespace

TEST(OtelloEngine, OpeningPositionAndLegalSquaresOfBothSides) {
    Game g;
    EXPECT_EQ(g.engine.square(4, 4), kHuman);
    EXPECT_EQ(g.engine.square(5, 5), kHuman);
    EXPECT_EQ(g.engine.square(4, 5), kMachine);
    EXPECT_EQ(g.engine.square(5, 4), kMachine);
    EXPECT_EQ(discCount(g.engine.board(), kEmpty), 60);
    EXPECT_EQ(g.engine.square(0, 3), kFrame);
    EXPECT_EQ(g.engine.square(9, 9), kFrame);
    EXPECT_EQ(g.engine.PlacedCount(), 0);
    EXPECT_EQ(g.engine.Skill(), TSkill::skBeginner);
    EXPECT_FALSE(g.engine.isThinking());

    EXPECT_EQ(legalSquares(g.engine, kHuman), (std::set<Square>{{3, 5}, {4, 6}, {5, 3}, {6, 4}}));
    EXPECT_EQ(legalSquares(g.engine, kMachine), (std::set<Square>{{3, 4}, {4, 3}, {5, 6}, {6, 5}}));
}

TEST(OtelloEngine, HumanMoveTurnsDiscsCountsPlacementsAndHandsOver) {
    Game g;
    EXPECT_FALSE(g.engine.playHuman(1, 1));
    EXPECT_FALSE(g.engine.playHuman(0, 5));
    EXPECT_FALSE(g.engine.playHuman(4, 4));
    EXPECT_EQ(g.engine.PlacedCount(), 0);
    EXPECT_TRUE(g.rec.events.empty());

    ASSERT_TRUE(g.engine.playHuman(3, 5));
    EXPECT_EQ(g.engine.square(3, 5), kHuman);
    EXPECT_EQ(g.engine.square(4, 5), kHuman);
    EXPECT_EQ(g.engine.PlacedCount(), 2);
    EXPECT_EQ(g.rec.squareChanges, 2);
    EXPECT_TRUE(g.engine.isThinking());
    EXPECT_EQ(g.rec.events, std::vector<std::string>{"think"});
    // While the machine thinks the human cannot play.
    EXPECT_FALSE(g.engine.playHuman(5, 6));
}

TEST(OtelloEngine, EvaluateUsesTheWeightTableOfTheCorners) {
    struct Case {
        const char* what;
        std::string position;
        std::uint8_t side;
        int expected;
    };
    const std::vector<Case> cases = {
        {"no corner: table A, X square",
         rows({
             "........",
             ".m......",
             "........",
             "...h....",
             "........",
             "........",
             "........",
             "........",
         }),
         kMachine, -24},
        {"no corner: table A, from the other side",
         rows({
             "........",
             ".m......",
             "..h.....",
             "........",
             "........",
             "........",
             "........",
             "........",
         }),
         kHuman, 7 + 24},
        {"corner taken: table B inner square (7,6)",
         rows({
             "m.......",
             "........",
             "........",
             "...h....",
             "........",
             "......m.",
             "........",
             "........",
         }),
         kMachine, 99 + 1 - 1},
        {"corner taken: table B inner square (7,3)",
         rows({
             "m.......",
             "........",
             "......m.",
             "...h....",
             "........",
             "........",
             "........",
             "........",
         }),
         kMachine, 99 + 0 - 1},
        {"X of a taken corner, even by the other side",
         rows({
             "h.......",
             ".m......",
             "........",
             "........",
             "........",
             "........",
             "........",
             "........",
         }),
         kMachine, 8 - 99},
        {"X and C of an empty corner once another is taken",
         rows({
             "h.......",
             "........",
             "........",
             "........",
             "........",
             "........",
             "......mm",
             "........",
         }),
         kMachine, -24 - 8 - 99},
        {"C of a taken corner",
         rows({
             "mh......",
             "h.......",
             "........",
             "........",
             "........",
             "........",
             "........",
             "........",
         }),
         kMachine, 99 - 12 - 12},
        {"opponent without discs",
         rows({
             "........",
             ".m......",
             "........",
             "........",
             "........",
             "........",
             "........",
             "........",
         }),
         kMachine, 32000},
    };
    for (const Case& c : cases) {
        const Board b = boardOf(c.position);
        EXPECT_EQ(evaluate(b, c.side, adversary(c.side)), c.expected) << c.what;
    }
}

// Two machine replies: (3,3) rates 14 and (4,1) only 7, but a reply cuts (3,3) off one level down.
static Board twoChoices() {
    return boardOf(rows({
        "........",
        "...h....",
        "...m....",
        "...h....",
        "....m...",
        "........",
        "........",
        "........",
    }));
}

TEST(OtelloEngine, BeginnerTakesTheBestRatedSquareEarliestInMoveOrder) {
    // The four opening replies all rate 4: the earliest in move order wins.
    Game g;
    g.engine.ComputerTurn();
    EXPECT_EQ(g.think(), 9);
    EXPECT_EQ(g.rec.events, (std::vector<std::string>{"think", "move 3 4", "play"}));
    EXPECT_EQ(g.engine.square(4, 4), kMachine);
    EXPECT_EQ(g.engine.PlacedCount(), 2);

    // A later square that rates higher beats an earlier one: (3,3) rates 14, (4,1) only 7.
    EXPECT_EQ(engineMachineMove(twoChoices(), TSkill::skBeginner), (Outcome{index(3, 3), 5}));

    // On random positions: the square whose resulting board rates highest (the final count when
    // neither side could move on it), ties going to the earliest.
    for (const Board& b : randomPositions(400, 7)) {
        int best = -1, bestValue = 0;
        for (const std::uint8_t sq : kMoveOrder) {
            if (!isLegal(b, sq, kMachine, kHuman))
                continue;
            Board after = b;
            playMove(after, sq, kMachine, kHuman);
            int v;
            if (firstLegal(after, kHuman, kMachine) < 0 && firstLegal(after, kMachine, kHuman) < 0) {
                for (auto& c : after)
                    if (c == kEmpty)
                        c = kMachine;
                v = finalScore(after, kMachine, kHuman);
            } else {
                v = evaluate(after, kMachine, kHuman);
            }
            if (best < 0 || v > bestValue) {
                best = sq;
                bestValue = v;
            }
        }
        EXPECT_EQ(engineMachineMove(b, TSkill::skBeginner).square, best) << formatBoard(b);
    }
}

TEST(OtelloEngine, StepSearchMatchesTheRecursiveSearchAtEverySkill) {
    struct Case {
        TSkill skill;
        int positions;
    };
    for (const Case c : {Case{TSkill::skBeginner, 300}, Case{TSkill::skNovice, 300},
                         Case{TSkill::skExpert, 200}, Case{TSkill::skMaster, 100}}) {
        const int depth = OtelloEngine::depthOf(c.skill);
        int searched = 0;
        for (const Board& b : randomPositions(c.positions, 11 + depth)) {
            if (firstLegal(b, kMachine, kHuman) >= 0) {
                ++searched;
                EXPECT_EQ(engineMachineMove(b, c.skill), RecursiveSearch(depth, false).run(b))
                    << "depth " << depth << " machine " << formatBoard(b);
            }
            EXPECT_EQ(engineHint(b, c.skill), RecursiveSearch(depth, true).run(b))
                << "depth " << depth << " hint " << formatBoard(b);
        }
        EXPECT_GT(searched, c.positions / 2);
    }
    // A hand-checked case where a reply cuts the later square off: at novice (4,1) wins over (3,3).
    EXPECT_EQ(engineMachineMove(twoChoices(), TSkill::skNovice), (Outcome{index(4, 1), 8}));
}

// The human's two discs in the left corners, each behind a machine disc: the human never moves.
static std::string humanBlocked() {
    return rows({
        "mh......",
        "........",
        "........",
        "........",
        "........",
        "........",
        "........",
        "mh......",
    });
}

TEST(OtelloEngine, MachineMovesAgainWhenTheHumanIsBlockedThenTheGameEnds) {
    // The human's two discs can never move; the machine takes both, one per turn.
    const std::string position = humanBlocked();
    for (const TSkill skill : {TSkill::skBeginner, TSkill::skMaster}) {
        Game g(position, skill);
        g.engine.ComputerTurn();
        g.think();
        EXPECT_EQ(g.rec.events, (std::vector<std::string>{"think", "move 3 1", "think", "move 3 8", "win"}));
        EXPECT_EQ(g.rec.emptyAtEnd, 0);
        EXPECT_EQ(discCount(g.engine.board(), kHuman), 58);
    }
}

TEST(OtelloEngine, GameEndGivesTheEmptySquaresToTheHumanBeforeTheResult) {
    struct Case {
        const char* what;
        std::string position;
        const char* result;
        int humanDiscs;
        int placed; // the machine's disc, the turned one, then every empty square
    };
    const std::vector<Case> cases = {
        {"human wins on the filled squares",
         rows({
             "mh......",
             "........",
             "........",
             "........",
             "........",
             "........",
             "........",
             "........",
         }),
         "win", 61, 2 + 61},
        {"equal count is a win",
         rows({
             "mh......",
             "........",
             "........",
             "........",
             "mmmmmmmm",
             "mmmmmmmm",
             "mmmmmmmm",
             "mmmmm...",
         }),
         "win", 32, 2 + 32},
        {"machine ahead despite the filled square",
         rows({
             "mh.mmmmm",
             "mmmmmmmm",
             "mmmmmmmm",
             "mmmmmmmm",
             "mmmmmmmm",
             "mmmmmmmm",
             "mmmmmmmm",
             "mmmmmmm.",
         }),
         "lost", 1, 2 + 1},
    };
    for (const Case& c : cases) {
        Game g(c.position);
        g.engine.ComputerTurn();
        g.think();
        EXPECT_EQ(g.rec.events, (std::vector<std::string>{"think", "move 3 1", c.result})) << c.what;
        EXPECT_EQ(g.rec.emptyAtEnd, 0) << c.what;
        EXPECT_EQ(discCount(g.engine.board(), kHuman), c.humanDiscs) << c.what;
        EXPECT_EQ(g.engine.PlacedCount(), c.placed) << c.what;
        EXPECT_FALSE(g.engine.isThinking()) << c.what;
    }

    // When neither side can move as the machine's turn comes, the game ends without a search.
    Game blocked(rows({
        "mmmmmmmm",
        "mmmmmmmm",
        "mmmmmmmm",
        "mmmmmmmm",
        "hhhhhhhh",
        "hhhhhhhh",
        "hhhhhhhh",
        "hhhhhhhh",
    }));
    blocked.engine.ComputerTurn();
    EXPECT_EQ(blocked.rec.events, std::vector<std::string>{"win"});

    // When only the human can move, the turn simply stays with the human.
    Game humanOnly(rows({
        "hm......",
        "........",
        "........",
        "........",
        "........",
        "........",
        "........",
        "........",
    }));
    humanOnly.engine.ComputerTurn();
    EXPECT_TRUE(humanOnly.rec.events.empty());
    EXPECT_FALSE(humanOnly.engine.isThinking());
}

TEST(OtelloEngine, HintPointsAtTheHumansSquareWithoutPlaying) {
    Game g;
    g.engine.Hint();
    EXPECT_TRUE(g.engine.isHintSearch());
    EXPECT_EQ(g.think(), 9);
    EXPECT_EQ(g.rec.events, std::vector<std::string>{"hint 3 5"});
    EXPECT_EQ(g.engine.board(), initialBoard());
    EXPECT_EQ(g.engine.PlacedCount(), 0);

    // No legal square for the human: the first step ends the search with the message.
    Game stuck(humanBlocked(), TSkill::skMaster);
    stuck.engine.Hint();
    EXPECT_EQ(stuck.think(), 1);
    EXPECT_EQ(stuck.rec.events, std::vector<std::string>{"nomove"});
}

TEST(OtelloEngine, SkillChangedDuringASearchAppliesToTheRemainingSteps) {
    // Master, cut down to beginner after the first step (one level deep): the beginner search.
    Game down;
    down.engine.setSkill(TSkill::skMaster);
    down.engine.ComputerTurn();
    down.engine.ThinkStep();
    down.engine.setSkill(TSkill::skBeginner);
    EXPECT_EQ(down.engine.depth(), 1);
    EXPECT_EQ(down.think() + 1, 9);
    EXPECT_EQ(down.rec.machineMoves, (std::vector<Square>{{3, 4}}));

    // Beginner, raised to master after the first step (which only went one level down, as it does
    // at any depth): from then on the master search, to the same move in as many steps.
    Game master;
    master.engine.setSkill(TSkill::skMaster);
    master.engine.ComputerTurn();
    const long masterSteps = master.think();
    Game up;
    up.engine.ComputerTurn();
    up.engine.ThinkStep();
    up.engine.setSkill(TSkill::skMaster);
    EXPECT_EQ(up.think() + 1, masterSteps);
    EXPECT_GT(masterSteps, 9);
    EXPECT_EQ(up.rec.machineMoves, master.rec.machineMoves);
}

TEST(OtelloEngine, RunningSearchIsLeftAloneAndNewGameStopsIt) {
    Game quiet;
    quiet.engine.setSkill(TSkill::skExpert);
    quiet.engine.ComputerTurn();
    const long undisturbed = quiet.think();

    // Hint and another machine turn during the search are ignored.
    Game busy;
    busy.engine.setSkill(TSkill::skExpert);
    busy.engine.ComputerTurn();
    for (int i = 0; i < 7; ++i)
        busy.engine.ThinkStep();
    busy.engine.Hint();
    busy.engine.ComputerTurn();
    EXPECT_FALSE(busy.engine.isHintSearch());
    EXPECT_EQ(busy.think() + 7, undisturbed);
    EXPECT_EQ(busy.rec.machineMoves, quiet.rec.machineMoves);

    // NewGame in the middle of a deep search: idle on the opening, and a hint then starts afresh.
    Game restarted;
    restarted.engine.setSkill(TSkill::skMaster);
    restarted.engine.ComputerTurn();
    for (int i = 0; i < 5; ++i)
        restarted.engine.ThinkStep();
    restarted.engine.NewGame();
    EXPECT_FALSE(restarted.engine.isThinking());
    EXPECT_FALSE(restarted.engine.ThinkStep());
    EXPECT_EQ(restarted.engine.board(), initialBoard());
    EXPECT_EQ(restarted.engine.PlacedCount(), 0);
    restarted.rec.events.clear();
    restarted.engine.Hint();
    const long steps = restarted.think();
    EXPECT_EQ(
        (Outcome{index(restarted.rec.events.back()[5] - '0', restarted.rec.events.back()[7] - '0'), steps}),
        engineHint(initialBoard(), TSkill::skMaster));
}

TEST(OtelloEngine, SearchStepsDoNotAllocate) {
    {
        const long start = allocationCount();
        const std::string text = formatBoard(initialBoard()); // longer than the small-string buffer
        ASSERT_GT(allocationCount(), start) << "the counter must see allocations";
    }
    OtelloEngine engine; // no listener: only the engine's own work is counted
    engine.setSkill(TSkill::skMaster);
    long steps = 0;
    for (const Board& b : randomPositions(30, 5)) {
        const std::string text = formatBoard(b);
        ASSERT_TRUE(engine.setPosition(text));
        const long before = allocationCount();
        engine.ComputerTurn();
        engine.Hint();
        while (engine.ThinkStep())
            ++steps;
        EXPECT_EQ(allocationCount(), before);
    }
    EXPECT_GT(steps, 10'000);
}

TEST(OtelloEngine, PositionTextIsCheckedAndRoundTrips) {
    Board b{};
    EXPECT_FALSE(parseBoard("", b));
    EXPECT_FALSE(parseBoard(std::string(63, '.'), b));
    EXPECT_FALSE(parseBoard(std::string(65, '.'), b));
    EXPECT_FALSE(parseBoard(std::string(63, '.') + "x", b));
    EXPECT_FALSE(parseBoard(std::string(63, '.') + "H", b));
    const std::string text = formatBoard(initialBoard());
    EXPECT_EQ(text, rows({
                        "........",
                        "........",
                        "........",
                        "...hm...",
                        "...mh...",
                        "........",
                        "........",
                        "........",
                    }));
    ASSERT_TRUE(parseBoard(text, b));
    EXPECT_EQ(b, initialBoard());
    OtelloEngine e;
    EXPECT_FALSE(e.setPosition("nonsense"));
    EXPECT_EQ(e.board(), initialBoard());
}
