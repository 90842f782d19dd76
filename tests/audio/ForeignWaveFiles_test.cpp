// Files written by other programs must read back as the samples those programs (or an independent
// decoder) say they hold.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>

#include "SovoInput.h"
#include "TempDir.h"
#include "wave_fixture.h"

using namespace wavetest;

namespace {

std::string ShellQuoted(const std::string& text)
{
    std::string quoted = "'";
    for (const char c : text)
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

bool ToolAvailable(const std::string& tool)
{
    return std::system(("command -v " + tool + " >/dev/null 2>&1").c_str()) == 0;
}

// Standard output of a command that succeeded, or nothing.
std::optional<Bytes> CommandOutput(const std::string& command)
{
    std::FILE* pipe = ::popen(command.c_str(), "r");
    if (pipe == nullptr)
        return std::nullopt;
    Bytes output;
    uint8_t chunk[65536];
    for (std::size_t got; (got = std::fread(chunk, 1, sizeof chunk, pipe)) > 0;)
        output.insert(output.end(), chunk, chunk + got);
    if (::pclose(pipe) != 0)
        return std::nullopt;
    return output;
}

std::vector<int16_t> LittleEndianSamples(const Bytes& raw)
{
    std::vector<int16_t> samples;
    for (std::size_t i = 0; i + 1 < raw.size(); i += 2)
        samples.push_back(static_cast<int16_t>(raw[i] | raw[i + 1] << 8));
    return samples;
}

std::vector<int16_t> SoxDecode(const std::string& path)
{
    const std::optional<Bytes> raw = CommandOutput("sox " + ShellQuoted(path) + " -t raw - 2>/dev/null");
    if (!raw)
        throw std::runtime_error("sox could not decode " + path);
    return LittleEndianSamples(*raw);
}

Bytes FileBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

struct Delivery {
    std::vector<int16_t> Samples;
    int32_t Total = -1;
};

// What the file input hands to the recognizer, the way the main window sets it up.
Delivery Deliver(const std::string& path)
{
    Delivery delivery;
    TSovoFileInput input(1024, 1, 22050, 2);
    input.OnData = [&](const int16_t* samples, int32_t count) {
        delivery.Samples.insert(delivery.Samples.end(), samples, samples + count);
    };
    input.OnProgress = [&](int32_t, int32_t total) { delivery.Total = total; };
    input.SetName(path);
    input.Start();
    return delivery;
}

void ExpectDelivers(const std::string& path, const std::vector<int16_t>& expected)
{
    SCOPED_TRACE(path);
    ASSERT_FALSE(expected.empty());
    const Delivery delivery = Deliver(path);
    EXPECT_TRUE(delivery.Samples == expected) << delivery.Samples.size() << " samples delivered, "
                                              << expected.size() << " expected";
    EXPECT_EQ(delivery.Total, static_cast<int32_t>(expected.size()));
}

TEST(ForeignWaveFiles, ReferenceUtterancesMatchAnIndependentDecoder)
{
    if (!ToolAvailable("sox"))
        GTEST_SKIP() << "sox is not installed";
    std::vector<std::string> paths;
    for (const auto& entry : std::filesystem::directory_iterator(PARLANTO_GOLDEN_DIR "/wav"))
        if (entry.path().extension() == ".wav")
            paths.push_back(entry.path().string());
    std::sort(paths.begin(), paths.end());
    ASSERT_FALSE(paths.empty());
    for (const std::string& path : paths)
        ExpectDelivers(path, SoxDecode(path));
}

TEST(ForeignWaveFiles, AFileWrittenBySox)
{
    if (!ToolAvailable("sox"))
        GTEST_SKIP() << "sox is not installed";
    TempDir dir;
    const std::string path = dir.File("sine.wav");
    ASSERT_TRUE(CommandOutput("sox -n -r 22050 -b 16 -c 1 " + ShellQuoted(path) + " synth 0.3 sine 440 2>&1"));
    const std::vector<int16_t> decoded = SoxDecode(path);
    EXPECT_EQ(decoded.size(), 6615u);
    ExpectDelivers(path, decoded);
}

TEST(ForeignWaveFiles, AFileWrittenByPythonsWaveModule)
{
    if (!ToolAvailable("python3"))
        GTEST_SKIP() << "python3 is not installed";
    TempDir dir;
    const std::string wavPath = dir.File("python.wav");
    const std::string rawPath = dir.File("python.raw");
    // The script keeps the exact frames it wrote, so the comparison needs no other decoder.
    const std::string script =
        "import math, struct, sys, wave\n"
        "frames = b''.join(struct.pack('<h', int(round(30000 * math.sin(i * 0.031) * math.cos(i * 0.0007))))"
        " for i in range(7777))\n"
        "w = wave.open(sys.argv[1], 'wb')\n"
        "w.setnchannels(1); w.setsampwidth(2); w.setframerate(22050); w.writeframes(frames); w.close()\n"
        "open(sys.argv[2], 'wb').write(frames)\n";
    ASSERT_TRUE(CommandOutput("python3 -c " + ShellQuoted(script) + " " + ShellQuoted(wavPath) + " " +
                              ShellQuoted(rawPath) + " 2>&1"));
    const std::vector<int16_t> written = LittleEndianSamples(FileBytes(rawPath));
    EXPECT_EQ(written.size(), 7777u);
    ExpectDelivers(wavPath, written);
}

} // namespace
