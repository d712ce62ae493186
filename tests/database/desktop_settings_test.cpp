#include "database/desktop_settings.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <set>

#include "platform/file_error.h"
#include "platform/host_path.h"
#include "support/temp_root.h"

namespace veld {
namespace {

using namespace std::string_literals;
namespace fs = std::filesystem;

const std::string kPng = "\x89PNG\r\n\x1a\n"s + std::string(40, 'p');
const std::string kJpeg = "\xFF\xD8\xFF\xE0"s + std::string(40, 'j');

class DesktopSettingsTest : public test::TempRootTest {
 protected:
  DesktopSettingsTest() { fs::create_directories(System("")); }
  static std::string System(const std::string& name) { return HostPath(std::string(kSystemFolder)) + "/" + name; }
  std::string Settings() const { return test::ReadBytes(HostPath(kDesktopSettingsPath)); }
  std::string File(const std::string& name, const std::string& bytes) const {
    const std::string path = temp_.root() + "/" + name;
    test::WriteBytes(path, bytes);
    return path;
  }

  DesktopSettingsStore store_;
};

TEST_F(DesktopSettingsTest, HeaderIsStoredWithItsLogoCopiedBesideAndOtherLinesKept) {
  EXPECT_FALSE(store_.LoadLabHeader().IsSet());
  test::WriteBytes(HostPath(kDesktopSettingsPath), "; written by hand\r\nLastCertificateNumber=7\r\nOther=x=y\r\n");
  LabHeader header{"Acme Calibration Lab", {"1 Gauge Road", "", "Springfield", ""}, {"Accredited to ISO/IEC 17025"}, ""};
  store_.SaveLabHeader(header, File("logo.png", kPng));
  const LabHeader stored = store_.LoadLabHeader();
  EXPECT_EQ(stored.name + "|" + stored.logo, "Acme Calibration Lab|LabLogo.png");
  EXPECT_EQ(stored.address, (std::vector<std::string>{"1 Gauge Road", "", "Springfield"}));  // trailing empty line dropped
  EXPECT_EQ(stored.accreditation, std::vector<std::string>{"Accredited to ISO/IEC 17025"});
  EXPECT_EQ(test::ReadBytes(store_.LogoHostPath(stored)), kPng);
  EXPECT_EQ(Settings(),
            "; written by hand\r\nLastCertificateNumber=7\r\nOther=x=y\r\nLabName=Acme Calibration Lab\r\n"
            "LabAddress1=1 Gauge Road\r\nLabAddress2=\r\nLabAddress3=Springfield\r\n"
            "LabAccreditation1=Accredited to ISO/IEC 17025\r\nLabLogo=LabLogo.png\r\n");

  // A JPEG replaces the PNG; no logo removes the file; fewer lines remove their keys.
  store_.SaveLabHeader(stored, File("logo.jpg", kJpeg));
  EXPECT_EQ(store_.LoadLabHeader().logo, "LabLogo.jpg");
  EXPECT_FALSE(fs::exists(System("LabLogo.png")));
  LabHeader plain{"Acme", {"One line"}, {}, ""};
  store_.SaveLabHeader(plain);
  EXPECT_EQ(store_.LoadLabHeader(), plain);
  EXPECT_FALSE(fs::exists(System("LabLogo.jpg")));
  EXPECT_EQ(store_.LastCertificateNumber(), 7u);
  EXPECT_EQ(Settings().find("LabAddress2"), std::string::npos);
}

TEST_F(DesktopSettingsTest, HeaderProblemsAndLogoFiles) {
  const auto problems = [](LabHeader header) { return LabHeaderProblems(header); };
  EXPECT_TRUE(problems({}).empty());
  EXPECT_TRUE(problems({std::string(50, 'n'), {"a", "b", "c", "d", ""}, {std::string(66, 'x')}, ""}).empty());
  EXPECT_EQ(problems({"", {"Road"}, {}, ""}), std::vector<std::string>{"The laboratory's name is missing."});
  EXPECT_EQ(problems({std::string(51, 'n'), {"a", "b", "c", "d", "e"}, {"x", std::string(67, 'x'), "z"}, ""}),
            (std::vector<std::string>{"The laboratory's name is longer than 50 characters.",
                                      "The address has more than 4 lines.",
                                      "The accreditation text has more than 2 lines.",
                                      "Line 2 of the accreditation text is longer than 66 characters."}));
  EXPECT_EQ(problems({"Tab\there", {"ok", "new\rline"}, {}, ""}),
            (std::vector<std::string>{"The laboratory's name holds a control character.",
                                      "Line 2 of the address holds a control character."}));

  EXPECT_EQ(LogoFileProblem(File("ok.jpg", kJpeg)), "");
  const std::string text = File("logo.png", "not an image");
  EXPECT_EQ(LogoFileProblem(text), text + " is neither a PNG nor a JPEG image.");
  EXPECT_EQ(LogoFileProblem(temp_.root()), temp_.root() + " is not a file.");
  const std::string large = File("large.png", kPng);
  fs::resize_file(large, LabHeader::kMaxLogoBytes + 1);
  EXPECT_EQ(LogoFileProblem(large), large + " is larger than 4 MB.");
  EXPECT_THROW(store_.SaveLabHeader({"Acme", {}, {}, ""}, text), FileError);
  EXPECT_FALSE(store_.LoadLabHeader().IsSet()) << "a refused logo stores nothing";
}

// Two processes issue numbers at the same time: every number is issued once, and the
// counter ends at the number of certificates.
TEST_F(DesktopSettingsTest, CertificateNumbersNeverRepeatAcrossProcesses) {
  constexpr int kEach = 150;
  int pipe_fds[2];
  ASSERT_EQ(pipe(pipe_fds), 0);
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    close(pipe_fds[0]);
    DesktopSettingsStore store;
    for (int i = 0; i < kEach; ++i) {
      uint64_t number = 0;
      try {
        number = store.TakeCertificateNumber();
      } catch (...) {
      }
      if (write(pipe_fds[1], &number, sizeof number) != sizeof number) _exit(2);
    }
    _exit(0);
  }
  close(pipe_fds[1]);
  std::multiset<uint64_t> issued;
  for (int i = 0; i < kEach; ++i) issued.insert(store_.TakeCertificateNumber());
  uint64_t number = 0;
  while (read(pipe_fds[0], &number, sizeof number) == sizeof number) issued.insert(number);
  close(pipe_fds[0]);
  int status = 0;
  waitpid(child, &status, 0);
  ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  ASSERT_EQ(issued.size(), 2u * kEach);
  EXPECT_EQ(std::set<uint64_t>(issued.begin(), issued.end()).size(), 2u * kEach) << "a number was issued twice";
  EXPECT_EQ(*issued.begin(), 1u);
  EXPECT_EQ(store_.LastCertificateNumber(), 2u * kEach);
}

TEST_F(DesktopSettingsTest, ACounterThatIsNotANumberIssuesNothing) {
  test::WriteBytes(HostPath(kDesktopSettingsPath), "LastCertificateNumber=12a\r\n");
  EXPECT_THROW(store_.TakeCertificateNumber(), FileError);
  EXPECT_EQ(Settings(), "LastCertificateNumber=12a\r\n");
}

}  // namespace
}  // namespace veld
