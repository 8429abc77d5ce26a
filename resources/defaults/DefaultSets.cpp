// The built-in default sets are Qt resources of this library (see
// CMakeLists.txt); the data module reads them as ":/defaults/<number>".
namespace qz::resources {
int DefaultSetsLinked() { return 1; }
} // namespace qz::resources
