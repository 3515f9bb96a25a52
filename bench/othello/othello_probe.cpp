// othello_probe: for each input line "POSITION SKILL" prints the square the machine plays and the
// number of ThinkStep calls its search took, as "x y steps" (or "none 0" when it cannot move).
// POSITION is 64 characters row by row from the top-left: '.' empty, 'h' human, 'm' machine;
// SKILL is beginner, novice, expert or master. Blank lines and lines starting with '#' are
// skipped. A bad line gets an "error:" line and the probe goes on; the exit status is then 1.
#include "MachineMove.h"

#include <iostream>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

namespace {

std::optional<TSkill> skillNamed(const std::string& name) {
    if (name == "beginner")
        return TSkill::skBeginner;
    if (name == "novice")
        return TSkill::skNovice;
    if (name == "expert")
        return TSkill::skExpert;
    if (name == "master")
        return TSkill::skMaster;
    return std::nullopt;
}

// One answer line for one input line; empty when the line is to be skipped.
std::string answer(const std::string& line, long number, bool& bad) {
    std::istringstream in(line);
    std::vector<std::string> fields;
    for (std::string f; in >> f;)
        fields.push_back(f);
    if (fields.empty() || fields[0][0] == '#')
        return {};
    const std::string where = "error: line " + std::to_string(number) + ": ";
    bad = true;
    if (fields.size() != 2)
        return where + "expected POSITION SKILL, got " + std::to_string(fields.size()) + " field(s)";
    OtelloEngine engine;
    if (!engine.setPosition(fields[0]))
        return where + "POSITION must be 64 characters among '.', 'h' and 'm'";
    const std::optional<TSkill> skill = skillNamed(fields[1]);
    if (!skill)
        return where + "SKILL must be beginner, novice, expert or master, got '" + fields[1] + "'";
    bad = false;
    engine.setSkill(*skill);
    MachineMoveWatcher watcher;
    const MachineMove m = watcher.play(engine);
    if (m.x == 0)
        return "none " + std::to_string(m.steps);
    return std::to_string(m.x) + " " + std::to_string(m.y) + " " + std::to_string(m.steps);
}

} // namespace

int main() {
    std::ios::sync_with_stdio(false);
    bool anyBad = false;
    long number = 0;
    for (std::string line; std::getline(std::cin, line);) {
        ++number;
        bool bad = false;
        const std::string out = answer(line, number, bad);
        anyBad = anyBad || bad;
        if (!out.empty())
            std::cout << out << '\n';
    }
    std::cout.flush();
    return anyBad ? 1 : 0;
}
