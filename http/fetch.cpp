// http_fetch: written by its owner.
