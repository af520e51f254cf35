"""Spatial-domain steganalysis: three structural estimators of the LSB change rate and SPAM features.

Every function takes one colour channel as a 2-D array of integers 0-255 (or the whole H x W x 3 picture
where it says so). The structural estimators return the estimated proportion of samples that carry
message bits (p); an LSB replacement of proportion p changes about p / 2 of the samples.
"""

import numpy as np
from scipy import ndimage

# Weighted stego: the predictor of the improved method (a 3 x 3 filter without the centre whose weights
# sum to one) and the moderating constant of the local-variance weights.
WS_PREDICTOR = np.array([[-0.25, 0.5, -0.25], [0.5, 0.0, 0.5], [-0.25, 0.5, -0.25]])
WS_VARIANCE_OFFSET = 5.0

# RS analysis: non-overlapping horizontal groups of four samples, flipped by the mask 0 1 1 0.
RS_GROUP = 4
RS_MASK = np.array([0, 1, 1, 0], dtype=bool)

# SPAM: residuals clipped to [-T, T]; second-order Markov chains give (2T + 1)^3 transition probabilities
# per direction class (straight and diagonal), 686 features per channel for T = 3.
SPAM_T = 3


def weighted_stego(channel):
    """Weighted-stego estimate of p with the improved predictor and moderated weights (no bias correction)."""
    s = channel.astype(np.float64)
    neighbour_mean = ndimage.uniform_filter(s, 3, mode="reflect") * 9.0 - s
    neighbour_square = ndimage.uniform_filter(s * s, 3, mode="reflect") * 9.0 - s * s
    variance = neighbour_square / 8.0 - (neighbour_mean / 8.0) ** 2
    predicted = ndimage.correlate(s, WS_PREDICTOR, mode="reflect")
    inner = (slice(1, -1), slice(1, -1))
    weights = 1.0 / (WS_VARIANCE_OFFSET + variance[inner])
    weights /= weights.sum()
    # s - flipped(s) is +1 for odd samples and -1 for even ones.
    towards_flip = 2.0 * (channel[inner] & 1) - 1.0
    return float(2.0 * np.sum(weights * towards_flip * (s[inner] - predicted[inner])))


def _smaller_root(a, b, c):
    """The root of a x^2 + b x + c nearest zero; the real part when the roots are complex."""
    if abs(a) < 1e-12:
        return -c / b if abs(b) > 1e-12 else 0.0
    disc = b * b - 4.0 * a * c
    if disc < 0:
        return -b / (2.0 * a)
    root = np.sqrt(disc)
    r1, r2 = (-b + root) / (2.0 * a), (-b - root) / (2.0 * a)
    return r1 if abs(r1) < abs(r2) else r2


def sample_pairs(channel):
    """Sample pairs analysis (trace-set form) over horizontally and vertically adjacent pairs."""
    c = channel.astype(np.int64)
    u = np.concatenate([c[:, :-1].ravel(), c[:-1, :].ravel()])
    v = np.concatenate([c[:, 1:].ravel(), c[1:, :].ravel()])
    v_even = (v & 1) == 0
    x = np.count_nonzero((v_even & (u < v)) | (~v_even & (u > v)))
    y = np.count_nonzero((v_even & (u > v)) | (~v_even & (u < v)))
    z = np.count_nonzero(u == v)
    w = np.count_nonzero(((u >> 1) == (v >> 1)) & (u != v))
    total = u.size
    return float(_smaller_root(0.5 * (w + z), 2.0 * x - total, y - x))


def _regular_singular(channel, negative):
    """Relative counts of regular and singular groups under the flipping mask (or its negative)."""
    h, w = channel.shape
    usable = w - w % RS_GROUP
    groups = channel[:, :usable].astype(np.int64).reshape(-1, RS_GROUP)
    if negative:
        flipped = ((groups + 1) ^ 1) - 1
    else:
        flipped = groups ^ 1
    changed = np.where(RS_MASK, flipped, groups)
    before = np.abs(np.diff(groups, axis=1)).sum(axis=1)
    after = np.abs(np.diff(changed, axis=1)).sum(axis=1)
    n = float(groups.shape[0])
    return np.count_nonzero(after > before) / n, np.count_nonzero(after < before) / n


def rs_analysis(channel):
    """RS analysis estimate of p from the image and its LSB-flipped twin."""
    c = channel.astype(np.int64)
    r_m, s_m = _regular_singular(c, False)
    r_n, s_n = _regular_singular(c, True)
    twin = c ^ 1
    r_m1, s_m1 = _regular_singular(twin, False)
    r_n1, s_n1 = _regular_singular(twin, True)
    d0, d1 = r_m - s_m, r_m1 - s_m1
    dn0, dn1 = r_n - s_n, r_n1 - s_n1
    z = _smaller_root(2.0 * (d1 + d0), dn0 - dn1 - d1 - 3.0 * d0, d0 - dn0)
    if abs(z - 0.5) < 1e-12:
        return 1.0
    return float(z / (z - 0.5))


def structural_scores(image):
    """WS, SPA and RS estimates averaged over the R, G and B channels of an H x W x 3 picture."""
    scores = np.zeros((3, 3))
    for k in range(3):
        channel = image[:, :, k]
        scores[k] = (weighted_stego(channel), sample_pairs(channel), rs_analysis(channel))
    return scores.mean(axis=0)


def _transitions(d1, d2, d3):
    """Second-order transition probabilities P(d3 | d1, d2) over the clipped residual triples."""
    t = SPAM_T
    size = 2 * t + 1
    index = ((d1 + t) * size + (d2 + t)) * size + (d3 + t)
    joint = np.bincount(index.ravel(), minlength=size**3).astype(np.float64).reshape(size * size, size)
    given = joint.sum(axis=1, keepdims=True)
    return np.divide(joint, given, out=np.zeros_like(joint), where=given > 0).ravel()


def _chains(x, dy, dx):
    """The three consecutive residuals along direction (dy, dx) for every start where all three exist."""
    h, w = x.shape
    steps = 3
    ys = slice(max(0, -dy * steps), h - max(0, dy * steps))
    xs = slice(max(0, -dx * steps), w - max(0, dx * steps))

    def shifted(k):
        return x[ys.start + k * dy : ys.stop + k * dy, xs.start + k * dx : xs.stop + k * dx]

    d = [np.clip(shifted(k) - shifted(k + 1), -SPAM_T, SPAM_T) for k in range(steps)]
    return d[0], d[1], d[2]


STRAIGHT = [(0, 1), (0, -1), (1, 0), (-1, 0)]
DIAGONAL = [(1, 1), (-1, -1), (1, -1), (-1, 1)]


def spam686(channel):
    """Second-order SPAM features of one channel: 343 straight then 343 diagonal averages."""
    x = channel.astype(np.int64)
    straight = np.mean([_transitions(*_chains(x, dy, dx)) for dy, dx in STRAIGHT], axis=0)
    diagonal = np.mean([_transitions(*_chains(x, dy, dx)) for dy, dx in DIAGONAL], axis=0)
    return np.concatenate([straight, diagonal])


# Colour co-occurrences: the first-order residual (right and down) of R, G and B at the same pixel, clipped
# to [-COLOUR_T, COLOUR_T], as a joint 3-D histogram; independent changes in the channels spread it.
COLOUR_T = 2


def colour_features(image):
    """Normalised joint histogram of the R, G, B residuals at one pixel, right and down directions summed."""
    x = image.astype(np.int64)
    size = 2 * COLOUR_T + 1
    total = np.zeros(size**3)
    for residual in (x[:, :-1, :] - x[:, 1:, :], x[:-1, :, :] - x[1:, :, :]):
        r = np.clip(residual, -COLOUR_T, COLOUR_T) + COLOUR_T
        index = (r[..., 0] * size + r[..., 1]) * size + r[..., 2]
        total += np.bincount(index.ravel(), minlength=size**3)
    return total / total.sum()


def all_features(image):
    """Every per-image quantity the benchmark keeps: structural scores, SPAM per channel, colour."""
    return {
        "structural": structural_scores(image),
        "spam": np.stack([spam686(image[:, :, k]) for k in range(3)]),
        "colour": colour_features(image),
    }
