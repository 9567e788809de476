# Sources of the inline XDR schema validator, added to qzwin_msxml.
