#include "SovoTypes.h"

#include <algorithm>

void InitCommandTraj(TCommandTraj& traj, int32_t phonemeCount, int32_t atomCount)
{
    ClearCommandTraj(traj);
    traj.PhonemeCount = phonemeCount;
    traj.AtomCount = atomCount;
    traj.Ids.assign(static_cast<size_t>(phonemeCount), 0);
    traj.Names.assign(static_cast<size_t>(phonemeCount), TPhonemeName{});
    traj.Rows.assign(static_cast<size_t>(atomCount), std::vector<double>(static_cast<size_t>(phonemeCount), 0.0));
}

void ClearCommandTraj(TCommandTraj& traj)
{
    traj.PhonemeCount = 0;
    traj.AtomCount = 0;
    traj.Ids.clear();
    traj.Names.clear();
    traj.Rows.clear();
}

TPhonemeName MakePhonemeName(const std::string& chars)
{
    TPhonemeName name{};
    std::copy_n(chars.begin(), std::min(chars.size(), name.size()), name.begin());
    return name;
}
