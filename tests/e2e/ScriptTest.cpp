// x scriptfile: verification against a simulated key system, then the run.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

#include "VantorFolder.h"

namespace vantor::test {
namespace {

namespace fs = std::filesystem;

const std::string kNotFound =
    "The scriptfile defined cannot be located.  Please\nverify and reenter.\n";
const std::string kNotInstalled = "System is not installed.  Issue createsys or ressys.\n";
const std::string kReady = "System is ready.\n";

// What a script that passes verification prints around its lines' output.
std::string ranScript(const std::string& totals, const std::string& echo,
                      const std::string& state) {
  return "Verifying...\n" + totals + "Verify OK\nExecuting script file...\n" + echo +
         "==== Script completed ===\n \n" + state + " \n";
}

// The script the help topic on scripts shows: its lines 10 to 25.
std::vector<std::string> helpScript() {
  const std::vector<std::string> topic = splitLines(expectedText("help-x.txt"));
  return {topic.begin() + 9, topic.begin() + 25};
}

using ScriptTest = VantorTest;

TEST_F(ScriptTest, AScriptMustBeNamedAndExist) {
  folder.write("empty.txt", "");
  fs::create_directory(folder.path("adir"));
  // Nothing may wait for a writer to open a FIFO.
  ASSERT_EQ(mkfifo(folder.path("pipe").c_str(), 0600), 0);
  fs::create_symlink("/dev/zero", folder.path("zeros"));
  folder.expectSession(false,
                       {{"x", "Parameters missing error.  Enter help x\n \n"},
                        {"x pipe", kNotFound},
                        {"x zeros", kNotFound},
                        {"X", "Parameters missing error.  Enter help x\n \n"},
                        {"x missing.txt", kNotFound},
                        {"x ", kNotFound},
                        {"xyz", kNotFound},
                        {"x adir", kNotFound},
                        {"x empty.txt", ranScript("0 errors 0 warnings\n", "", kNotInstalled)}});
}

TEST_F(ScriptTest, ShellLinesAreEchoedAndRunEmptyLinesSkipped) {
  folder.write("job.txt", "echo one\n\n  enc a b 1 1 1\nhelp\nx other\necho 'two  words'");
  const std::string echo = ".echo one\none\n\n.  enc a b 1 1 1\n";
  const std::string out = folder.session({{"x job.txt", ""}});
  EXPECT_NE(
      out.find("Verifying...\n0 errors 0 warnings\nVerify OK\nExecuting script file...\n" + echo),
      std::string::npos)
      << out;
  EXPECT_NE(out.find(".help\n"), std::string::npos);
  EXPECT_NE(out.find(".x other\n"), std::string::npos);
  EXPECT_NE(out.find(".echo 'two  words'\ntwo  words\n\n==== Script completed ===\n \n" +
                     kNotInstalled + " \n"),
            std::string::npos)
      << out;
}

TEST_F(ScriptTest, TheHelpTopicsScriptMakesFourSystems) {
  const std::vector<std::string> script = helpScript();
  ASSERT_EQ(script.front(), "mkdir Sys1");
  ASSERT_EQ(script.back(), "killsys");
  folder.write("make.txt", lines(script));
  std::string echo;
  for (const std::string& line : script) echo += "." + line + "\n";
  folder.expectSession(false,
                       {{"x make.txt", ranScript("0 errors 0 warnings\n", echo, kNotInstalled)}});
  for (const char* system : {"Sys1", "Sys2", "Sys3", "Sys4"}) {
    EXPECT_TRUE(folder.exists(std::string(system) + "/sys.dat")) << system;
  }
  EXPECT_EQ(folder.read("Sys2/sys.dat"), "30\n");
  EXPECT_EQ(folder.fileNames(),
            (std::vector<std::string>{"Sys1", "Sys2", "Sys3", "Sys4", "make.txt"}));

  // With a system in place its first createsys is a counted error.
  folder.session({{"createsys 1 1 1 n", kCreated}});
  folder.expectSession(true,
                       {{"x make.txt",
                         "Verifying...\nError Line 5 - createsys 25 500 500 n | System is present\n"
                         "1 errors 0 warnings\nVerifyScript failed\n"}});
}

// Each script starts the same; the last ends in reports only and runs.
TEST_F(ScriptTest, ReportsOnlyDoNotFailTheVerification) {
  folder.write("plain.txt", "data");
  folder.write("empty.enc", "");
  const std::vector<std::string> start = {"killsys", "", "createsys 2 2 2 n",
                                          "enc plain.txt plain.enc 1 1 1",
                                          "dec plain.enc plain.out 1 1 1"};
  const std::string reports =
      "Warning Line 1 - killsys | no system present\n"
      "Error Line 4 - enc plain.txt plain.enc 1 1 1 | component 1 error\n"
      "Error Line 5 - dec plain.enc plain.out 1 1 1 | component 1 error\n";
  const std::string failed = "1 errors 1 warnings\nVerifyScript failed\n";
  const std::string decEmpty = "dec empty.enc x 1 1 1";
  const std::string echo =
      ".killsys\n.createsys 2 2 2 n\n.enc plain.txt plain.enc 1 1 1\nLoading System data...\n"
      ".dec plain.enc plain.out 1 1 1\nLoading System data...\n.dec empty.enc x 1 1 1\n";
  struct Case {
    std::vector<std::string> end;
    std::string output;
  };
  const Case cases[] = {
      {{"createsys 1 1", decEmpty},
       "Verifying...\n" + reports + "Error Line 6 - createsys 1 1 | System is present\n" +
           "Error Line 7 - " + decEmpty + " | component 1 error\n" + failed},
      {{decEmpty, "ENC"},
       "Verifying...\n" + reports + "Error Line 6 - " + decEmpty +
           " | component 1 error\nError Line 7 - ENC | Parameters missing\n" + failed},
      {{decEmpty},
       ranScript(
           reports + "Error Line 6 - " + decEmpty + " | component 1 error\n0 errors 1 warnings\n",
           echo, kReady)},
  };
  for (const Case& c : cases) {
    std::vector<std::string> script = start;
    script.insert(script.end(), c.end.begin(), c.end.end());
    folder.write("job.txt", lines(script));
    folder.expectSession(false, {{"x job.txt", c.output}});
  }
  EXPECT_EQ(folder.read("plain.out"), "data");
}

TEST_F(ScriptTest, VerificationFollowsRestoredCounts) {
  folder.session({{"createsys 2 3 4 n", kCreated},
                  {"mkdir Keys", ""},
                  {"transsys Keys", ""},
                  {"killsys", ""}});
  fs::create_directory(folder.path("Bare"));
  folder.write("Bare/sys.dat", "9\n");
  ASSERT_EQ(mkfifo(folder.path("pipe").c_str(), 0600), 0);
  folder.write("job.txt",
               lines({"ressys Keys", "enc job.txt j.enc 2 3 5", "enc job.txt j.enc 2 3 4",
                      "dec job.txt j.enc 2 nan 4", "enc pipe j.enc 2 3 4", "killsys", "ressys Bare",
                      "enc job.txt j.enc 1 1 1", "killsys", "ressys", "transsys x"}));
  folder.expectSession(false, {{"x job.txt",
                                "Verifying...\n"
                                "Error Line 2 - enc job.txt j.enc 2 3 5 | component 3 error\n"
                                "Error Line 4 - dec job.txt j.enc 2 nan 4 | component 2 error\n"
                                "Error Line 5 - enc pipe j.enc 2 3 4 | srcfile name conflict\n"
                                "Error Line 8 - enc job.txt j.enc 1 1 1 | component 2 error\n"
                                "Error Line 10 - ressys | Path is missing\n"
                                "Error Line 11 - transsys x | System not present\n"
                                "2 errors 0 warnings\nVerifyScript failed\n"}});
}

TEST_F(ScriptTest, LongScriptsAreVerifiedWholly) {
  std::vector<std::string> script(5001, "dec");
  folder.write("long.txt", lines(script));
  const std::string out = folder.session({{"x long.txt", ""}});
  EXPECT_NE(out.find("Error Line 5001 - dec | Parameters missing\n5001 errors 0 "
                     "warnings\nVerifyScript failed\n"),
            std::string::npos);
}

}  // namespace
}  // namespace vantor::test
