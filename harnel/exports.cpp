// The provider's thirty exported functions live here.
