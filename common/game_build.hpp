#pragma once
#include <cstdint>
#include <optional>

namespace vn3 {

// The two supported builds of the game, told apart by the executable's size.
enum class GameBuild { BuildA, BuildB };

inline constexpr std::uint64_t buildAExeSize = 0x624000;
inline constexpr std::uint64_t buildBExeSize = 0x628000;
inline constexpr std::uint64_t buildAPackageSize = 0x7CE000;
inline constexpr std::uint64_t buildBPackageSize = 0x826800;

constexpr std::uint64_t packageSizeOf(GameBuild build) {
  return build == GameBuild::BuildA ? buildAPackageSize : buildBPackageSize;
}

// The build whose executable has exactly `size` bytes.
constexpr std::optional<GameBuild> buildOfExeSize(std::uint64_t size) {
  if (size == buildAExeSize) return GameBuild::BuildA;
  if (size == buildBExeSize) return GameBuild::BuildB;
  return std::nullopt;
}

// The build whose package has exactly `size` bytes.
constexpr std::optional<GameBuild> buildOfPackageSize(std::uint64_t size) {
  if (size == buildAPackageSize) return GameBuild::BuildA;
  if (size == buildBPackageSize) return GameBuild::BuildB;
  return std::nullopt;
}

}  // namespace vn3
