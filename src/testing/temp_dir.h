// A temporary directory for tests, removed with everything in it when the
// object goes away.
#ifndef KEP_TESTING_TEMP_DIR_H_
#define KEP_TESTING_TEMP_DIR_H_

#include <string>

namespace kep {

class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::string& path() const { return path_; }
  /// Writes `content` to path()/name (creating folders on the way) and
  /// returns the file's path.
  std::string write(const std::string& name, const std::string& content) const;

 private:
  std::string path_;
};

}  // namespace kep

#endif  // KEP_TESTING_TEMP_DIR_H_
