// A tiny summary of what an image shows, for telling whether two frames
// shot moments apart show one scene.
#ifndef FOCUSRATE_SCENE_FINGERPRINT_H
#define FOCUSRATE_SCENE_FINGERPRINT_H

#include <cstdint>

#include <opencv2/core.hpp>

namespace focusrate {

/// A 64-bit difference hash: the image shrunk to a 9x8 grey thumbnail of
/// block means, one bit per pair of horizontal neighbours, set when the left
/// one is brighter. Blur and small exposure changes leave most bits alone; a
/// new scene flips about half of them. Any 8-bit image of at least one pixel.
std::uint64_t SceneFingerprint(const cv::Mat& image);

/// How many bits two fingerprints differ in (0..64).
int FingerprintDistance(std::uint64_t a, std::uint64_t b);

}  // namespace focusrate

#endif  // FOCUSRATE_SCENE_FINGERPRINT_H
