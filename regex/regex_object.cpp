// RegexObject: written by its owner.
