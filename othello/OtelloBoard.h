// Othello board primitives shared by the search, the control and the tools: the framed 10 x 10
// board, the fixed move order, legality, playing a move, the static rating and the final count.
// Everything here is allocation-free and works on plain arrays so that the search stays cheap.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace otello {

// Square codes. The frame around the 8 x 8 playing area stops every walk along a direction.
inline constexpr std::uint8_t kEmpty = 0;
inline constexpr std::uint8_t kHuman = 1;
inline constexpr std::uint8_t kMachine = 2;
inline constexpr std::uint8_t kFrame = 3;

inline constexpr std::uint8_t adversary(std::uint8_t side) {
    return side == kHuman ? kMachine : kHuman;
}

// Square (x, y), x the column and y the row, both 1..8 inside the frame, lives at y * 10 + x.
using Board = std::array<std::uint8_t, 100>;
inline constexpr int index(int x, int y) {
    return y * 10 + x;
}
inline constexpr int column(int sq) {
    return sq % 10;
}
inline constexpr int row(int sq) {
    return sq / 10;
}
inline constexpr bool onBoard(int x, int y) {
    return x >= 1 && x <= 8 && y >= 1 && y <= 8;
}

// The eight neighbour steps, in the order the engine walks them.
inline constexpr std::array<int, 8> kDirections = {-11, -10, -9, -1, 1, 9, 10, 11};

// Number of squares in the move order (the four central squares are never tried).
inline constexpr int kMoveCount = 60;
// The move order: kMoveOrder[i] is the square tried at position i.
extern const std::array<std::uint8_t, kMoveCount> kMoveOrder;
// Position of a square in the move order, or -1 for the central squares and the frame.
int movePosition(int sq);

// Framed board with the opening position: (4,4) and (5,5) human, (4,5) and (5,4) machine.
Board initialBoard();

// Reads 64 characters, row by row from the top-left: '.' empty, 'h' human, 'm' machine.
// Returns false (and leaves out untouched) on any other length or character.
bool parseBoard(std::string_view rows, Board& out);
// The inverse of parseBoard.
std::string formatBoard(const Board& b);

// Number of player discs turned when the player plays sq, along one direction: the run of
// opponent discs next to sq, when a player disc closes it; 0 otherwise.
inline int flipCount(const Board& b, int sq, int dir, std::uint8_t player, std::uint8_t opponent) {
    int n = 0;
    int i = sq + dir;
    while (b[i] == opponent) {
        ++n;
        i += dir;
    }
    return b[i] == player ? n : 0;
}

inline bool isLegal(const Board& b, int sq, std::uint8_t player, std::uint8_t opponent) {
    if (b[sq] != kEmpty)
        return false;
    for (int dir : kDirections) {
        int i = sq + dir;
        if (b[i] != opponent)
            continue;
        do
            i += dir;
        while (b[i] == opponent);
        if (b[i] == player)
            return true;
    }
    return false;
}

// First legal square of the player in move order, or -1.
int firstLegal(const Board& b, std::uint8_t player, std::uint8_t opponent);

// Puts the player's disc on sq and turns the enclosed discs; place(i) writes square i, so the real
// board can count and repaint each change.
template <class Place>
void playMove(const Board& b, int sq, std::uint8_t player, std::uint8_t opponent, Place&& place) {
    std::array<int, 8> counts{};
    for (int d = 0; d < 8; ++d)
        counts[d] = flipCount(b, sq, kDirections[d], player, opponent);
    place(sq);
    for (int d = 0; d < 8; ++d)
        for (int k = 1; k <= counts[d]; ++k)
            place(sq + k * kDirections[d]);
}

inline void playMove(Board& b, int sq, std::uint8_t player, std::uint8_t opponent) {
    playMove(b, sq, player, opponent, [&b, player](int i) { b[i] = player; });
}

// Static rating from the player's side: positional weights (one table while the four corners are
// empty, another once a corner is taken); 32000 when the opponent has no disc left.
int evaluate(const Board& b, std::uint8_t player, std::uint8_t opponent);

// Rating of a finished game once every empty square has been given to a: d + 32000 when a leads
// by d, d - 32000 when behind, 0 for a draw. Only counts; the caller fills the board.
int finalScore(const Board& b, std::uint8_t a, std::uint8_t other);

int discCount(const Board& b, std::uint8_t side);

} // namespace otello
