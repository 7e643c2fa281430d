#pragma once
// Changes environment variables for one test and puts every one back.

#include <strings.h>

#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>
#include <utility>
#include <vector>

extern char** environ;

class ScopedEnvironment final {
 public:
  ScopedEnvironment() = default;
  ScopedEnvironment(const ScopedEnvironment&) = delete;
  ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;
  ~ScopedEnvironment() {
    for (auto it = saved_.rbegin(); it != saved_.rend(); ++it) {
      it->second ? setenv(it->first.c_str(), it->second->c_str(), 1) : unsetenv(it->first.c_str());
    }
  }

  void Set(const std::string& name, const std::string& value) {
    Remember(name);
    setenv(name.c_str(), value.c_str(), 1);
  }

  // Unsets every variable whose name equals `name` ignoring ASCII case.
  void UnsetAnyCase(const std::string& name) {
    std::vector<std::string> matching;
    for (char** entry = environ; *entry != nullptr; ++entry) {
      if (strncasecmp(*entry, name.c_str(), name.size()) == 0 && (*entry)[name.size()] == '=') {
        matching.emplace_back(*entry, name.size());
      }
    }
    for (const std::string& found : matching) {
      Remember(found);
      unsetenv(found.c_str());
    }
  }

 private:
  void Remember(const std::string& name) {
    const char* value = std::getenv(name.c_str());
    saved_.emplace_back(name, value ? std::optional<std::string>(value) : std::nullopt);
  }

  std::vector<std::pair<std::string, std::optional<std::string>>> saved_;
};
