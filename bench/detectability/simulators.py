"""Embedding simulators used as references beside the real program's output.

Rates are bits per pixel (width x height); the carrier elements are the R, G and B samples.
"""

import numpy as np
from scipy import ndimage

# HILL: high-pass kernel, then a 3 x 3 average of its magnitude, then a 15 x 15 average of the reciprocal.
HILL_KERNEL = np.array([[-1, 2, -1], [2, -4, 2], [-1, 2, -1]], dtype=np.float64)
HILL_FIRST_AVERAGE = 3
HILL_SECOND_AVERAGE = 15
HILL_EPSILON = 1e-10
WET_COST = 1e13


def hill_costs(channel):
    """HILL cost of changing each sample of one channel by one."""
    x = channel.astype(np.float64)
    residual = np.abs(ndimage.convolve(x, HILL_KERNEL, mode="reflect"))
    smoothed = ndimage.uniform_filter(residual, HILL_FIRST_AVERAGE, mode="reflect")
    return ndimage.uniform_filter(1.0 / (smoothed + HILL_EPSILON), HILL_SECOND_AVERAGE, mode="reflect")


def _ternary_probabilities(lam, rho_plus, rho_minus):
    e_plus = np.exp(-lam * rho_plus)
    e_minus = np.exp(-lam * rho_minus)
    z = 1.0 + e_plus + e_minus
    return e_plus / z, e_minus / z


def _entropy_bits(p_plus, p_minus):
    p_zero = 1.0 - p_plus - p_minus
    total = 0.0
    for p in (p_plus, p_minus, p_zero):
        q = p[p > 0]
        total -= np.sum(q * np.log2(q))
    return total


def optimal_pm1(image, rate, rng, costs=hill_costs):
    """Changes drawn from the Gibbs distribution that carries rate x W x H bits at least total cost (+-1)."""
    x = image.astype(np.int64)
    rho = np.stack([costs(x[:, :, k]) for k in range(3)], axis=2)
    rho_plus = np.where(x == 255, WET_COST, rho)
    rho_minus = np.where(x == 0, WET_COST, rho)
    message = rate * x.shape[0] * x.shape[1]
    lo, hi = 1e-3, 1.0
    while _entropy_bits(*_ternary_probabilities(hi, rho_plus, rho_minus)) > message:
        lo, hi = hi, hi * 4.0
    # Geometric bisection: the payload falls monotonically with lambda; 25 halvings leave < 0.01 % error.
    for _ in range(25):
        mid = np.sqrt(lo * hi)
        if _entropy_bits(*_ternary_probabilities(mid, rho_plus, rho_minus)) > message:
            lo = mid
        else:
            hi = mid
    p_plus, p_minus = _ternary_probabilities(np.sqrt(lo * hi), rho_plus, rho_minus)
    draw = rng.random(x.shape)
    change = np.where(draw < p_plus, 1, np.where(draw < p_plus + p_minus, -1, 0))
    return (x + change).astype(np.uint8)


def lsb_replacement(image, rate, rng):
    """Random LSB replacement of rate x W x H samples chosen uniformly among R, G and B (half of them change)."""
    flat = image.reshape(-1).copy()
    count = int(round(rate * image.shape[0] * image.shape[1]))
    where = rng.choice(flat.size, size=count, replace=False)
    flat[where] = (flat[where] & 0xFE) | rng.integers(0, 2, size=count, dtype=np.uint8)
    return flat.reshape(image.shape)
