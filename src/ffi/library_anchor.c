/* The shared object is assembled from the static archives; CMake needs one source of its own. */
typedef int quorvantile_log_anchor;
