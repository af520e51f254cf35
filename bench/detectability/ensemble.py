"""Ensemble of Fisher linear discriminants on random feature subspaces, trained on bootstrapped
cover-stego pairs; the subspace dimension is chosen by the out-of-bag error.

Scores are the mean over the base learners of each learner's projection, centred on its threshold and
scaled by the spread of its training projections, so that larger means "more likely stego".
"""

import numpy as np
from sklearn.model_selection import GroupKFold

LEARNERS = 31
SUBSPACE_CANDIDATES = (30, 100, 300)
# Ridge added to the within-class scatter, relative to its mean diagonal.
RIDGE = 1e-3


def _fit_fld(cover, stego):
    mean_c, mean_s = cover.mean(axis=0), stego.mean(axis=0)
    n, d = cover.shape
    # The within-class scatter is Z'Z with Z the centred rows scaled by 1 / sqrt(n - 1) (the sum of both classes'
    # covariances), plus a ridge.
    z = np.r_[cover - mean_c, stego - mean_s] / np.sqrt(max(n - 1, 1))
    ridge = RIDGE * max(np.einsum("ij,ij->", z, z) / d, 1e-12)
    if d <= z.shape[0]:
        w = np.linalg.solve(z.T @ z + ridge * np.eye(d), mean_s - mean_c)
    else:
        # Fewer rows than features: the same solution through the rows' Gram matrix,
        # (Z'Z + r I)^-1 m = (m - Z' (Z Z' + r I)^-1 Z m) / r.
        m = mean_s - mean_c
        w = (m - z.T @ np.linalg.solve(z @ z.T + ridge * np.eye(z.shape[0]), z @ m)) / ridge
    pc, ps = cover @ w, stego @ w
    threshold = 0.5 * (pc.mean() + ps.mean())
    spread = max(np.std(np.r_[pc, ps]), 1e-12)
    return w, threshold, spread


def _train(cover, stego, dim, rng):
    n, d = cover.shape
    dim = min(dim, d)
    learners, votes, counts = [], np.zeros(2 * n), np.zeros(2 * n)
    for _ in range(LEARNERS):
        features = rng.choice(d, size=dim, replace=False)
        boot = rng.integers(0, n, size=n)
        w, threshold, spread = _fit_fld(cover[np.ix_(boot, features)], stego[np.ix_(boot, features)])
        learners.append((features, w, threshold, spread))
        out = np.setdiff1d(np.arange(n), boot)
        votes[out] += np.sign(cover[np.ix_(out, features)] @ w - threshold)
        votes[n + out] += np.sign(stego[np.ix_(out, features)] @ w - threshold)
        counts[out] += 1
        counts[n + out] += 1
    seen = counts > 0
    truth = np.r_[-np.ones(n), np.ones(n)]
    # A tie or an unseen sample counts as half an error.
    wrong = np.where(votes == 0, 0.5, (np.sign(votes) != truth).astype(float))
    return learners, float(np.mean(wrong[seen]))


def _score(learners, x):
    return np.mean([(x[:, f] @ w - t) / s for f, w, t, s in learners], axis=0)


def fit_and_score(cover, stego, test, rng, candidates=SUBSPACE_CANDIDATES):
    """Trains on paired cover/stego rows (standardised on the training set) and scores the test rows."""
    mean = np.r_[cover, stego].mean(axis=0)
    std = np.r_[cover, stego].std(axis=0)
    std[std == 0] = 1.0
    cover, stego, test = (cover - mean) / std, (stego - mean) / std, (test - mean) / std
    best = None
    for dim in candidates:
        if dim > cover.shape[1] and best is not None:
            break
        learners, error = _train(cover, stego, dim, rng)
        if best is None or error < best[1]:
            best = (learners, error)
    return _score(best[0], test)


def out_of_fold_scores(cover, stego, groups, folds, seed, candidates=SUBSPACE_CANDIDATES):
    """Scores of every cover and stego row from a model that saw none of the same photo's tiles."""
    rng = np.random.default_rng(seed)
    # GroupKFold is deterministic; relabelling the photos at random makes the fold assignment seeded.
    relabel = rng.permutation(groups.max() + 1)[groups]
    score_c, score_s = np.zeros(len(cover)), np.zeros(len(stego))
    for train, test in GroupKFold(n_splits=folds).split(cover, groups=relabel):
        scores = fit_and_score(cover[train], stego[train], np.r_[cover[test], stego[test]], rng, candidates)
        score_c[test], score_s[test] = scores[: len(test)], scores[len(test) :]
    return score_c, score_s
