// The pictures themselves are the resource object that qt_add_resources adds
// to this library; this unit only gives the archive a member.
namespace qz::pictures {
int linked() { return 1; }
} // namespace qz::pictures
