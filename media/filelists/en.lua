-- English resources.
name = "en"
filelist = {
}
