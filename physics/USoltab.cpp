#include "physics/USoltab.h"

namespace terval {

// Extraterrestrial spectral irradiance at the mean sun-earth distance,
// wavelength ascending. The intervals widen towards the infrared, where the
// spectrum carries little energy.
const std::array<Spektralwert, 63> SolarSpektrum = {{
    {0.29f, 0.488f}, {0.30f, 0.520f}, {0.31f, 0.698f},   {0.32f, 0.840f}, {0.33f, 1.072f},
    {0.34f, 1.087f}, {0.35f, 1.107f}, {0.36f, 1.081f},   {0.37f, 1.190f}, {0.38f, 1.134f},
    {0.39f, 1.112f}, {0.40f, 1.447f}, {0.41f, 1.773f},   {0.42f, 1.770f}, {0.43f, 1.660f},
    {0.44f, 1.833f}, {0.45f, 2.031f}, {0.46f, 2.092f},   {0.47f, 2.059f}, {0.48f, 2.100f},
    {0.49f, 1.975f}, {0.50f, 1.966f}, {0.51f, 1.906f},   {0.52f, 1.856f}, {0.53f, 1.865f},
    {0.54f, 1.805f}, {0.55f, 1.747f}, {0.56f, 1.716f},   {0.57f, 1.734f}, {0.58f, 1.737f},
    {0.59f, 1.721f}, {0.60f, 1.687f}, {0.62f, 1.622f},   {0.64f, 1.563f}, {0.66f, 1.505f},
    {0.68f, 1.445f}, {0.70f, 1.386f}, {0.72f, 1.331f},   {0.75f, 1.251f}, {0.80f, 1.123f},
    {0.90f, 0.902f}, {1.0f, 0.757f},  {1.2f, 0.491f},    {1.4f, 0.341f},  {1.6f, 0.248f},
    {1.8f, 0.161f},  {2.0f, 0.104f},  {2.2f, 0.080f},    {2.4f, 0.063f},  {2.6f, 0.049f},
    {2.8f, 0.039f},  {3.0f, 0.031f},  {3.2f, 0.0229f},   {3.4f, 0.0168f}, {3.6f, 0.0137f},
    {3.8f, 0.0112f}, {4.0f, 0.0096f}, {4.5f, 0.0060f},   {5.0f, 0.0038f}, {6.0f, 0.0018f},
    {7.0f, 0.0010f}, {8.0f, 0.0006f}, {10.0f, 0.00025f},
}};

}  // namespace terval
