# Sources of module loading and resources, added to qzwin_kernel.
