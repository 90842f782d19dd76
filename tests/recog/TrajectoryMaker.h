#pragma once
// Trajectories written out in a test: columns named by their ids, rows of scores; saved as .trj files.
#include <cstdint>
#include <string>
#include <vector>

#include "SovoDict.h"
#include "SovoTypes.h"

// One column per id (named after it) and one row per entry of rows.
inline TCommandTraj MakeTraj(const std::vector<int32_t>& ids, const std::vector<std::vector<double>>& rows)
{
    TCommandTraj traj;
    InitCommandTraj(traj, static_cast<int32_t>(ids.size()), static_cast<int32_t>(rows.size()));
    for (size_t i = 0; i < ids.size(); ++i) {
        traj.Ids[i] = ids[i];
        traj.Names[i] = MakePhonemeName(std::to_string(ids[i]));
    }
    for (size_t j = 0; j < rows.size(); ++j)
        traj.Rows[j] = rows[j];
    return traj;
}

// A one-column trajectory from a series of scores.
inline TCommandTraj Series(int32_t id, const std::vector<double>& values)
{
    std::vector<std::vector<double>> rows;
    for (const double value : values)
        rows.push_back({value});
    return MakeTraj({id}, rows);
}

inline void WriteTrajectory(const std::string& fileName, const TCommandTraj& traj)
{
    TTeskDictionary writer;
    writer.Trajectory = traj;
    writer.SaveTrajectory(fileName);
}
