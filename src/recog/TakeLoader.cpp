#include "TakeLoader.h"

TTakeForms TTakeLoader::Load(const std::string& path, TCommandTraj& take, const std::function<void(TCommandTraj&)>& read)
{
    const std::optional<TFileStamp> stamp = FileStampOf(path);
    if (stamp && stamp->Size <= left_) {
        left_ -= stamp->Size;
        read(take);
        return MakeTakeForms(path, take);
    }
    if (stamp) {
        if (auto cached = cache_.Find(path, *stamp)) {
            take = std::move(cached->first);
            return std::move(cached->second);
        }
    }
    read(take);
    TTakeForms forms = MakeTakeForms(path, take);
    ReleaseRows(take, forms);
    if (stamp)
        cache_.Add(path, *stamp);
    return forms;
}
