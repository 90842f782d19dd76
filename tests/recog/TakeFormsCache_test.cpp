// The take forms kept between runs: what is saved is found again for the file as it was, never for a file that
// changed since, and a damaged cache is ignored rather than believed.
#include "TakeFormsCache.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>

#include "ModelFolder.h"
#include "SovoDict.h"
#include "TrajectoryMaker.h"

namespace {

namespace fs = std::filesystem;

TCommandTraj RandomTake(uint32_t seed, size_t rows)
{
    std::mt19937 rng(seed);
    std::uniform_real_distribution<double> score(0.0, 1.0);
    std::vector<std::vector<double>> values(rows, std::vector<double>(3));
    for (auto& row : values) {
        for (double& value : row)
            value = score(rng) < 0.3 ? 0.0 : score(rng);
    }
    return MakeTraj({4, 2, 9}, values);
}

void ExpectSameForm(const std::optional<TCompactScores>& actual, const std::optional<TCompactScores>& expected)
{
    ASSERT_EQ(actual.has_value(), expected.has_value());
    if (!expected)
        return;
    EXPECT_EQ(actual->Width, expected->Width);
    EXPECT_EQ(actual->Step, expected->Step);
    EXPECT_EQ(actual->Codes, expected->Codes);
}

class TakeFormsCache : public testing::Test {
protected:
    TakeFormsCache()
    {
        folder.MakeDirectory("Models/Data");
        folder.MakeDirectory("cache");
        for (const char* name : {"a", "b"})
            WriteTrajectory(Take(name), RandomTake(name[0], 40));
    }

    std::string Take(const std::string& name) const { return folder.Path("Models/Data/" + name + ".trj"); }
    std::string CacheFolder() const { return folder.Path("cache"); }

    // Caches every take of the folder as a dictionary loading it would.
    void Fill() const
    {
        TTakeFormsCache cache(CacheFolder(), folder.Path("Models/"));
        std::vector<TCommandTraj> takes(2);
        std::vector<TTakeForms> forms;
        for (size_t i = 0; i < 2; ++i) {
            const std::string path = Take(i == 0 ? "a" : "b");
            TVoiceCommandModel().LoadTrajectory(path, takes[i]);
            forms.push_back(MakeTakeForms(path, takes[i]));
            cache.Add(path, *FileStampOf(path));
        }
        cache.Save({{&takes[0], &forms[0]}, {&takes[1], &forms[1]}});
    }

    TModelFolder folder;
};

TEST_F(TakeFormsCache, FindsWhatWasSavedForTheFileAsItIs)
{
    Fill();
    TTakeFormsCache cache(CacheFolder(), folder.Path("Models/"));
    TVoiceCommandModel reader;
    TCommandTraj take;
    reader.LoadTrajectory(Take("a"), take);
    const TTakeForms expected = MakeTakeForms(Take("a"), take);
    const auto found = cache.Find(Take("a"), *FileStampOf(Take("a")));
    ASSERT_TRUE(found);
    EXPECT_EQ(found->first.AtomCount, take.AtomCount);
    EXPECT_EQ(found->first.Ids, take.Ids);
    EXPECT_EQ(found->first.Names, take.Names);
    EXPECT_TRUE(found->first.Rows.empty());
    EXPECT_EQ(found->second.Path, Take("a"));
    ExpectSameForm(found->second.Rows, expected.Rows);
    ExpectSameForm(found->second.Frames, expected.Frames);
    // Another model folder has a cache of its own.
    EXPECT_FALSE(TTakeFormsCache(CacheFolder(), folder.Path("Other/")).Find(Take("a"), *FileStampOf(Take("a"))));
}

TEST_F(TakeFormsCache, AFileWrittenAgainIsNotFound)
{
    Fill();
    WriteTrajectory(Take("a"), RandomTake(99, 40));   // same size, new contents
    TTakeFormsCache cache(CacheFolder(), folder.Path("Models/"));
    EXPECT_FALSE(cache.Find(Take("a"), *FileStampOf(Take("a"))));
    EXPECT_TRUE(cache.Find(Take("b"), *FileStampOf(Take("b"))));
}

TEST_F(TakeFormsCache, ADamagedCacheIsIgnored)
{
    Fill();
    const std::string file = TTakeFormsCache(CacheFolder(), folder.Path("Models/")).File();
    const std::vector<uint8_t> saved = ReadAllBytes(file);
    ASSERT_GT(saved.size(), 100u);
    const auto write = [&](const std::vector<uint8_t>& bytes) {
        std::ofstream(file, std::ios::binary | std::ios::trunc)
            .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    };
    for (const size_t at : {size_t{0}, size_t{20}, saved.size() / 2, saved.size() - 1}) {
        std::vector<uint8_t> damaged = saved;
        damaged[at] ^= 0x10;
        write(damaged);
        EXPECT_FALSE(TTakeFormsCache(CacheFolder(), folder.Path("Models/")).Find(Take("a"), *FileStampOf(Take("a"))))
            << at;
    }
    write(std::vector<uint8_t>(saved.begin(), saved.begin() + static_cast<std::ptrdiff_t>(saved.size() / 3)));
    EXPECT_FALSE(TTakeFormsCache(CacheFolder(), folder.Path("Models/")).Find(Take("a"), *FileStampOf(Take("a"))));
}

TEST_F(TakeFormsCache, TakesOfFewerBytesThanWorthAreNotCached)
{
    TTakeFormsCache cache(CacheFolder(), folder.Path("Models/"), FileStampOf(Take("a"))->Size + 1);
    TCommandTraj take;
    TVoiceCommandModel().LoadTrajectory(Take("a"), take);
    const TTakeForms forms = MakeTakeForms(Take("a"), take);
    cache.Add(Take("a"), *FileStampOf(Take("a")));
    cache.Save({{&take, &forms}});
    EXPECT_FALSE(fs::exists(cache.File()));
}

TEST_F(TakeFormsCache, TakesNoLongerLoadedAreDroppedAndNothingIsWrittenWithoutAFolder)
{
    Fill();
    {
        TTakeFormsCache cache(CacheFolder(), folder.Path("Models/"));
        const auto b = cache.Find(Take("b"), *FileStampOf(Take("b")));
        ASSERT_TRUE(b);
        cache.Save({{&b->first, &b->second}});
    }
    EXPECT_FALSE(TTakeFormsCache(CacheFolder(), folder.Path("Models/")).Find(Take("a"), *FileStampOf(Take("a"))));
    EXPECT_TRUE(TTakeFormsCache(CacheFolder(), folder.Path("Models/")).Find(Take("b"), *FileStampOf(Take("b"))));

    TTakeFormsCache none("", folder.Path("Models/"));
    EXPECT_TRUE(none.File().empty());
    const TCommandTraj take;
    const TTakeForms forms{Take("a"), {}, {}, {}};
    none.Add(Take("a"), *FileStampOf(Take("a")));
    none.Save({{&take, &forms}});
    EXPECT_EQ(std::distance(fs::directory_iterator(CacheFolder()), fs::directory_iterator()), 1);
}

// Through the dictionary: a second start takes the forms from the cache and answers as the first did; a take
// written since is read again.
TEST_F(TakeFormsCache, ADictionaryStartsAgainFromTheCacheAndRereadsWhatChanged)
{
    folder.WriteText("Models/a.vcm", "model=Data\\a.trj\r\nmodel=Data\\b.trj\r\n");
    const auto load = [&] {
        auto dictionary = std::make_unique<TTeskDictionary>();
        dictionary->KeptRowBytes = 0;
        dictionary->ScoreEveryCommandUpTo = 0;
        dictionary->TakeFormsFolder = CacheFolder();
        dictionary->CachedFromBytes = 0;
        dictionary->LoadModels(folder.Path("Models/"), "vcm");
        return dictionary;
    };
    const TCommandTraj utterance = RandomTake(5, 50);
    const auto first = load();
    const std::string cacheFile = TTakeFormsCache(CacheFolder(), folder.Path("Models/")).File();
    ASSERT_TRUE(fs::exists(cacheFile));
    const double firstScore = first->Recognize(utterance);
    const auto second = load();
    EXPECT_EQ(second->Recognize(utterance), firstScore);
    ExpectSameForm(second->GetModel(0)->Forms[1].Rows, first->GetModel(0)->Forms[1].Rows);
    ExpectSameForm(second->GetModel(0)->Forms[1].Frames, first->GetModel(0)->Forms[1].Frames);

    WriteTrajectory(Take("b"), RandomTake(77, 30));
    const auto third = load();
    EXPECT_EQ(third->GetModel(0)->Trajectories[1].AtomCount, 30);
    EXPECT_EQ(third->GetModel(0)->Forms[1].Rows->Count(), 30u);
}

}  // namespace
