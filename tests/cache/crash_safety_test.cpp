// A process that is killed while it registers or unregisters a schema file
// leaves the cache file either as it was or as it was to become, whole.
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <random>
#include <string>

#include "schema_registration_support.h"

namespace cachetest {
namespace {

// Enough entries that a save takes long enough to be interrupted.
constexpr int kEntryCount = 3000;
constexpr int kKills = 40;
// On a busy machine the editor may get little time before it is killed: the
// kills go on past kKills until both texts have been seen, up to this many.
constexpr int kMostKills = 200;
// The editor lives up to this many of its register and unregister rounds.
constexpr int kLongestLifeInRounds = 3;

TEST_F(RegistrationTest, KilledEditorLeavesAWholeFile) {
  std::string entries = kBasicDatatypesEntry;
  for (int i = 0; i < kEntryCount; ++i) {
    const std::string file = "S" + std::to_string(i) + ".xsd";
    entries += Entry(("x-schema:" + file).c_str(), ("C:\\Schemas\\" + file).c_str());
  }
  WriteCache(CacheWith(Schemas(entries)));
  const std::string name = SchemaFile("Toggled.xsd");

  // After one round the file alternates between these two texts. The
  // second round's length scales the editor's life to this build's speed.
  ASSERT_EQ(S_OK, Register(name).hr);
  ASSERT_EQ(S_OK, Unregister(name));
  const std::string without = ReadCache();
  const auto roundStart = std::chrono::steady_clock::now();
  ASSERT_EQ(S_OK, Register(name).hr);
  const std::string with = ReadCache();
  ASSERT_EQ(S_OK, Unregister(name));
  const auto round = std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now() - roundStart);
  ASSERT_EQ(without, ReadCache());

  std::mt19937 random(17);
  std::uniform_int_distribution<long> life(0, kLongestLifeInRounds * static_cast<long>(round.count()));
  int seenWith = 0;
  int seenWithout = 0;
  for (int kill = 0; kill < kMostKills && (kill < kKills || seenWith == 0 || seenWithout == 0); ++kill) {
    const pid_t editor = fork();
    ASSERT_NE(-1, editor);
    if (editor == 0) {
      for (;;) {
        Register(name);
        Unregister(name);
      }
    }
    usleep(static_cast<useconds_t>(life(random)));
    ::kill(editor, SIGKILL);
    waitpid(editor, nullptr, 0);

    const std::string now = ReadCache();
    if (now == with) {
      ++seenWith;
    } else {
      ASSERT_EQ(without, now) << "after kill " << kill << " the cache is neither text";
      ++seenWithout;
    }
  }
  EXPECT_GT(seenWith, 0);
  EXPECT_GT(seenWithout, 0);
  // Leftovers of saves that were cut short, beside the cache.
  int interrupted = 0;
  for (const auto& entry : std::filesystem::directory_iterator(Posix(kCachePath).parent_path())) {
    interrupted += entry.path().filename() != "qzschemas.xml";
  }
  RecordProperty("interrupted_saves", interrupted);
}

}  // namespace
}  // namespace cachetest
