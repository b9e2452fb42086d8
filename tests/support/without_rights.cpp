#include "without_rights.h"

#include <sys/wait.h>
#include <unistd.h>

namespace testing_support {

std::string withoutRights(const std::function<std::string()>& check) {
  if (geteuid() != 0) return check();
  int pipe_ends[2];
  if (pipe(pipe_ends) != 0) return "pipe failed";
  const pid_t child = fork();
  if (child == 0) {
    close(pipe_ends[0]);
    constexpr uid_t kNobody = 65534;
    if (setgid(kNobody) != 0 || setuid(kNobody) != 0) _exit(2);
    const std::string result = check();
    const ssize_t written = write(pipe_ends[1], result.data(), result.size());
    _exit(written == static_cast<ssize_t>(result.size()) ? 0 : 3);
  }
  close(pipe_ends[1]);
  std::string result;
  char buffer[512];
  for (ssize_t n; (n = read(pipe_ends[0], buffer, sizeof buffer)) > 0;) {
    result.append(buffer, static_cast<std::size_t>(n));
  }
  close(pipe_ends[0]);
  int status = 0;
  waitpid(child, &status, 0);
  return WIFEXITED(status) && WEXITSTATUS(status) == 0 ? result : "the check did not finish";
}

}  // namespace testing_support
