// Othello board primitives: tables and the non-inline operations.
#include "OtelloBoard.h"

namespace otello {
namespace {

// Position of each square in the move order, rows y = 1..8 from the top, columns x = 1..8;
// -1 marks the four central squares.
// clang-format off
constexpr int kOrderGrid[8][8] = {
    { 0, 50,  5, 13, 15,  7, 52,  2},
    {48, 56, 42, 34, 36, 44, 58, 54},
    { 4, 40, 20, 26, 28, 22, 46,  9},
    {12, 32, 24, -1, -1, 30, 38, 17},
    {14, 33, 25, -1, -1, 31, 39, 19},
    { 6, 41, 21, 27, 29, 23, 47, 11},
    {49, 57, 43, 35, 37, 45, 59, 55},
    { 1, 51,  8, 16, 18, 10, 53,  3},
};
// clang-format on

constexpr std::array<std::uint8_t, kMoveCount> buildMoveOrder() {
    std::array<std::uint8_t, kMoveCount> order{};
    for (int y = 1; y <= 8; ++y)
        for (int x = 1; x <= 8; ++x)
            if (const int pos = kOrderGrid[y - 1][x - 1]; pos >= 0)
                order[pos] = static_cast<std::uint8_t>(index(x, y));
    return order;
}

constexpr bool isPermutation(const std::array<std::uint8_t, kMoveCount>& order) {
    for (int i = 0; i < kMoveCount; ++i) {
        if (!onBoard(column(order[i]), row(order[i])))
            return false;
        for (int j = i + 1; j < kMoveCount; ++j)
            if (order[i] == order[j])
                return false;
    }
    return true;
}

// Weights while all four corners are empty.
// clang-format off
constexpr int kTableA[8][8] = {
    {99,  -8,  8,  6,  6,  8,  -8, 99},
    {-8, -24, -4, -3, -3, -4, -24, -8},
    { 8,  -4,  7,  4,  4,  7,  -4,  8},
    { 6,  -3,  4,  0,  0,  4,  -3,  6},
    { 6,  -3,  4,  0,  0,  4,  -3,  6},
    { 8,  -4,  7,  4,  4,  7,  -4,  8},
    {-8, -24, -4, -3, -3, -4, -24, -8},
    {99,  -8,  8,  6,  6,  8,  -8, 99},
};
// clang-format on

// Weights once a corner is taken; the corner's neighbours (0 here) are set per corner below.
// Not symmetric: (7,6) weighs 1 where (7,3) weighs 0.
// clang-format off
constexpr int kTableB[8][8] = {
    {99, 0, 8, 6, 6, 8, 0, 99},
    { 0, 0, 0, 1, 1, 0, 0,  0},
    { 8, 0, 7, 4, 4, 7, 0,  8},
    { 6, 1, 4, 1, 1, 4, 1,  6},
    { 6, 1, 4, 1, 1, 4, 1,  6},
    { 8, 0, 7, 4, 4, 7, 1,  8},
    { 0, 0, 0, 1, 1, 0, 0,  0},
    {99, 0, 8, 6, 6, 8, 0, 99},
};
// clang-format on

struct Corner {
    int square;
    int edge1, edge2, diagonal;
};
constexpr Corner kCorners[4] = {
    {index(1, 1), index(2, 1), index(1, 2), index(2, 2)},
    {index(8, 1), index(7, 1), index(8, 2), index(7, 2)},
    {index(1, 8), index(1, 7), index(2, 8), index(2, 7)},
    {index(8, 8), index(8, 7), index(7, 8), index(7, 7)},
};

using Weights = std::array<std::int16_t, 100>;

// Entry 0 is table A (no corner taken); entry m > 0 is table B with the corners of bit mask m taken.
constexpr std::array<Weights, 16> buildWeights() {
    std::array<Weights, 16> tables{};
    for (int mask = 0; mask < 16; ++mask) {
        Weights& w = tables[mask];
        for (int y = 1; y <= 8; ++y)
            for (int x = 1; x <= 8; ++x)
                w[index(x, y)] =
                    static_cast<std::int16_t>(mask == 0 ? kTableA[y - 1][x - 1] : kTableB[y - 1][x - 1]);
        if (mask == 0)
            continue;
        for (int c = 0; c < 4; ++c) {
            const bool taken = (mask >> c) & 1;
            const Corner& k = kCorners[c];
            w[k.edge1] = w[k.edge2] = taken ? 12 : -8;
            w[k.diagonal] = taken ? 8 : -24;
        }
    }
    return tables;
}

constexpr std::array<Weights, 16> kWeights = buildWeights();

} // namespace

const std::array<std::uint8_t, kMoveCount> kMoveOrder = buildMoveOrder();
static_assert(isPermutation(buildMoveOrder()), "the move order must try each square once");

int movePosition(int sq) {
    const int x = column(sq), y = row(sq);
    return onBoard(x, y) ? kOrderGrid[y - 1][x - 1] : -1;
}

Board initialBoard() {
    Board b;
    b.fill(kFrame);
    for (int y = 1; y <= 8; ++y)
        for (int x = 1; x <= 8; ++x)
            b[index(x, y)] = kEmpty;
    b[index(4, 4)] = b[index(5, 5)] = kHuman;
    b[index(4, 5)] = b[index(5, 4)] = kMachine;
    return b;
}

bool parseBoard(std::string_view rows, Board& out) {
    if (rows.size() != 64)
        return false;
    Board b;
    b.fill(kFrame);
    for (int i = 0; i < 64; ++i) {
        std::uint8_t code;
        switch (rows[i]) {
        case '.':
            code = kEmpty;
            break;
        case 'h':
            code = kHuman;
            break;
        case 'm':
            code = kMachine;
            break;
        default:
            return false;
        }
        b[index(i % 8 + 1, i / 8 + 1)] = code;
    }
    out = b;
    return true;
}

std::string formatBoard(const Board& b) {
    std::string rows;
    rows.reserve(64);
    for (int y = 1; y <= 8; ++y)
        for (int x = 1; x <= 8; ++x) {
            const std::uint8_t c = b[index(x, y)];
            rows += c == kHuman ? 'h' : c == kMachine ? 'm' : '.';
        }
    return rows;
}

int firstLegal(const Board& b, std::uint8_t player, std::uint8_t opponent) {
    for (const std::uint8_t sq : kMoveOrder)
        if (isLegal(b, sq, player, opponent))
            return sq;
    return -1;
}

int evaluate(const Board& b, std::uint8_t player, std::uint8_t opponent) {
    int mask = 0;
    for (int c = 0; c < 4; ++c)
        if (b[kCorners[c].square] != kEmpty)
            mask |= 1 << c;
    const Weights& w = kWeights[mask];
    // Branch-free so that the compiler can vectorise the 100 cells; the frame weighs 0.
    int sum = 0;
    int opponentDiscs = 0;
    for (int i = 0; i < 100; ++i) {
        const int mine = b[i] == player;
        const int theirs = b[i] == opponent;
        sum += w[i] * (mine - theirs);
        opponentDiscs += theirs;
    }
    return opponentDiscs == 0 ? 32000 : sum;
}

int finalScore(const Board& b, std::uint8_t a, std::uint8_t other) {
    const int d = discCount(b, a) - discCount(b, other);
    return d > 0 ? d + 32000 : d < 0 ? d - 32000 : 0;
}

int discCount(const Board& b, std::uint8_t side) {
    int n = 0;
    for (const std::uint8_t c : b)
        n += c == side;
    return n;
}

} // namespace otello
