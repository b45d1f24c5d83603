// SPDX-FileCopyrightText: 2026 The quorvantile_log authors
// SPDX-License-Identifier: Apache-2.0

/* The shared object is assembled from the static archives; CMake needs one source of its own. */
typedef int quorvantile_log_anchor;
